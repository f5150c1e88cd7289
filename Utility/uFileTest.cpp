#include "uFileTest.h"

namespace {

bool Granted(const char16_t* path, TuAccessTest test) {
    return TuTestAccess(path, test) == TuOsNoError;
}

} // namespace

int TuFileAccess(const char16_t* path, int mode) {
    switch (mode) {
    case TuAccessExists:
        return Granted(path, TuAccessTest::Exists) ? 0 : -1;
    case TuAccessRead:
        return Granted(path, TuAccessTest::Read) ? 0 : -1;
    case TuAccessWrite:
    case TuAccessReadWrite: {
        TuFileInfo info;
        if (TuQueryFileInfo(path, info) != TuOsNoError || !TuHasWriteBit(info.permissions)) {
            return -1;
        }
        return Granted(path, mode == TuAccessWrite ? TuAccessTest::Write : TuAccessTest::ReadWrite)
                   ? 0
                   : -1;
    }
    default:
        return -1;
    }
}

TuFileAccessAnswers TuFileAccessAll(const char16_t* path) {
    TuFileAccessAnswers answers;
    TuFileInfo info;
    if (TuQueryFileInfo(path, info) != TuOsNoError) {
        return answers;
    }
    answers.exists = true;
    answers.regular = info.kind == TuFileKind::Regular;
    // The same rule as TuFileAccess: no write bit, no writing.
    if (TuHasWriteBit(info.permissions) && Granted(path, TuAccessTest::ReadWrite)) {
        answers.readable = answers.writable = true;
        return answers;
    }
    answers.readable = Granted(path, TuAccessTest::Read);
    // Read and write together failed: with reading granted, writing is what was refused.
    answers.writable =
        !answers.readable && TuHasWriteBit(info.permissions) && Granted(path, TuAccessTest::Write);
    return answers;
}
