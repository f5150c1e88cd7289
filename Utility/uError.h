// The error catalogue and the exception classes.
//
// Every failure travels as a TuException: a cause code from the catalogue plus up to four
// typed arguments. The message text is formatted once, when the exception is built.
// Raising sites construct TuException and throw it by value; handlers catch TuError&.
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <type_traits>

#include "uMessage.h"
#include "uValue.h"

struct TuErrorDefinition {
    std::uint32_t cause;
    std::uint32_t category; // 1 to 18; 0 marks the end of the table
    std::uint32_t messageId;
    std::uint32_t reserved;
    std::uint32_t argumentTypes[4];
    const char* messageTemplate;
};

// The definitions followed by the end record (category 0).
extern const TuErrorDefinition TuErrorCatalogue[];
extern const std::size_t TuErrorCatalogueLength; // records including the end record
// The definition used for a cause that the catalogue does not define.
extern const TuErrorDefinition TuErrorFallback;

// Finds the first definition of cause; for an undefined cause records it as program fact 7
// and returns the fallback.
const TuErrorDefinition& TuLookupCause(int cause, const TuErrorDefinition* catalogue);

// One argument as the raising site passed it, before the catalogue row says how to read it.
class TuRaisedArgument {
public:
    enum Form { Absent, Signed, Unsigned, Floating, Text, WideText };

    TuRaisedArgument() : form(Absent), integer(0), floating(0), text(nullptr), wide(nullptr) {}
    template <class T>
    requires std::is_integral_v<T> TuRaisedArgument(T value)
        : form(std::is_signed_v<T> ? Signed : Unsigned), integer(static_cast<std::int64_t>(value)),
          floating(0), text(nullptr), wide(nullptr) {}
    template <class T>
    requires std::is_floating_point_v<T> TuRaisedArgument(T value)
        : form(Floating), integer(0), floating(static_cast<double>(value)), text(nullptr),
          wide(nullptr) {}
    TuRaisedArgument(const char* value)
        : form(Text), integer(0), floating(0), text(value), wide(nullptr) {}
    TuRaisedArgument(const char16_t* value)
        : form(WideText), integer(0), floating(0), text(nullptr), wide(value) {}

    Form form;
    std::int64_t integer;
    double floating;
    const char* text;
    const char16_t* wide;
};

class TuError : public std::exception {
public:
    // Looks the cause up and copies its definition; reads no argument and builds no text.
    explicit TuError(int requested, const TuErrorDefinition* catalogue = TuErrorCatalogue);
    TuError(const TuError& other);
    TuError& operator=(const TuError&) = delete;
    ~TuError() override;

    // The message text as narrow text; valid until the next call or the object's end.
    const char* what() const noexcept override;

    int Cause() const noexcept { return cause; }
    int Category() const noexcept { return category; }
    int MessageId() const noexcept { return messageId; }
    int ArgumentType(int position) const;        // 1 to 4
    const TuValue& Argument(int position) const; // 1 to 4
    const char16_t* Message() const noexcept;    // the formatted text (empty until built)

    // Writes the category's caption into buffer (size bytes) and returns the style flags.
    int GetCaption(char* buffer, int size) const;
    // The message box that shows the error: its cause, the category's caption and style, and
    // the message text as far as a box shows it (255 bytes).
    TuMessage ToMessage() const;
    // Shows the error in a message box; returns when the user has closed it.
    void Show() const;

protected:
    // Reads min(count, 4) arguments as the row's types say, then builds the message text.
    void Raise(int count, const TuRaisedArgument* raised, int supplied);

private:
    int cause;
    int category;
    int messageId;
    int argumentTypes[4];
    const char* messageTemplate;
    std::unique_ptr<char16_t[]> message; // null until built, or without memory
    mutable std::unique_ptr<char[]> narrowMessage;
    TuValue arguments[4];
};

class TuException : public TuError {
public:
    // Raises `cause` with `count` arguments, read position by position as the catalogue row's
    // argument types say. An argument that cannot be read as its position's type leaves the
    // position empty (it prints "?").
    template <class... Arguments>
    TuException(int cause, int count, const Arguments&... arguments) : TuError(cause) {
        const TuRaisedArgument list[] = {TuRaisedArgument(arguments)..., TuRaisedArgument()};
        Raise(count, list, static_cast<int>(sizeof...(Arguments)));
    }
    TuException(const TuException& other) = default;
    ~TuException() override;
};

// Shows a message in a message box; returns when it is closed.
using TuMessageBoxFunction = std::function<void(const TuMessage& message)>;

// Installs the message box that Show uses. With none installed (or an empty function),
// Show writes "caption: text" to standard error.
void TuSetMessageBox(TuMessageBoxFunction function);
