// The desktop program started as a child process on a machine whose display is missing or
// cannot be opened: it explains itself and ends with status 1, whatever Qt would have done.
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

#include "QtTestSupport.h"

namespace {

struct Outcome {
    QProcess::ExitStatus how = QProcess::CrashExit;
    int status = -1;
    QString out;
    QString err;
};

// Runs kestrel with the display variables removed and the given ones set.
Outcome RunKestrel(const QStringList& variables) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        environment.remove(QString::fromLatin1(name));
    }
    for (const QString& variable : variables) {
        environment.insert(variable.section('=', 0, 0), variable.section('=', 1));
    }
    QProcess kestrel;
    kestrel.setProcessEnvironment(environment);
    kestrel.start(QStringLiteral(KESTREL_PROGRAM_FILE), {});
    Outcome outcome;
    if (!kestrel.waitForFinished(20000)) {
        kestrel.kill();
        kestrel.waitForFinished();
        ADD_FAILURE() << "kestrel did not end";
        return outcome;
    }
    outcome.how = kestrel.exitStatus();
    outcome.status = kestrel.exitCode();
    outcome.out = QString::fromLocal8Bit(kestrel.readAllStandardOutput());
    outcome.err = QString::fromLocal8Bit(kestrel.readAllStandardError());
    return outcome;
}

const QString Advice = QStringLiteral(
    "Kestrel is a desktop program and needs a graphical display: start it from a desktop "
    "session (X11 or Wayland), or set DISPLAY or WAYLAND_DISPLAY to ");

} // namespace

TEST(program_start_test, without_a_display_it_says_so_and_ends) {
    const Outcome outcome = RunKestrel({});
    EXPECT_EQ(outcome.how, QProcess::NormalExit);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err, "kestrel: no display found. " + Advice + "the display to use.\n");
}

TEST(program_start_test, a_display_that_is_not_running_is_named_not_aborted_on) {
    // X11 display 93 listens on this socket (and its abstract twin) when it runs.
    if (QFile::exists(QStringLiteral("/tmp/.X11-unix/X93"))) {
        GTEST_SKIP() << "display :93 is running here";
    }
    const Outcome outcome = RunKestrel({QStringLiteral("DISPLAY=:93")});
    EXPECT_EQ(outcome.how, QProcess::NormalExit) << "Qt aborted: " << outcome.err;
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err, "kestrel: the display cannot be opened (DISPLAY=:93). " + Advice +
                               "a display that is running.\n");
}
