#include "uError.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>

#include "uSystemInfo.h"
#include "uText.h"

namespace {

constexpr int MessageUnits = 256;   // message text with its terminator
constexpr int ResourceBytes = 512;  // a loaded string resource with its terminator
constexpr int MaximumArguments = 4; // argument positions of a raised error

// An array of count elements, or null when there is no memory for it: errors are built and
// copied while an exception is thrown, when no other may escape.
template <class T> std::unique_ptr<T[]> ArrayOrNull(std::size_t count) noexcept {
    try {
        return std::make_unique_for_overwrite<T[]>(count);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

const TuValue& EmptyValue() {
    static const TuValue empty;
    return empty;
}

// Stores one raised argument into a position of the kind the catalogue row names. An
// argument that cannot be read as that kind leaves the position empty.
void ReadArgument(TuValue& value, int kind, const TuRaisedArgument& argument) {
    const bool integral =
        argument.form == TuRaisedArgument::Signed || argument.form == TuRaisedArgument::Unsigned;
    const auto bits = static_cast<std::uint64_t>(argument.integer);
    switch (kind) {
    case tvChar:
        if (integral) {
            value.SetChar(static_cast<int>(bits & 0xFFu));
        }
        break;
    case tvWideChar:
        if (integral) {
            value.SetWideChar(static_cast<int>(bits & 0xFFFFu));
        }
        break;
    case tvInt:
        if (integral) {
            value.SetInt(static_cast<std::int32_t>(static_cast<std::uint32_t>(bits)));
        }
        break;
    case tvLong:
        if (integral) {
            value.SetLong(static_cast<std::int32_t>(static_cast<std::uint32_t>(bits)));
        }
        break;
    case tvUnsigned:
        if (integral) {
            value.SetUnsigned(static_cast<std::uint32_t>(bits));
        }
        break;
    case tvDouble:
        if (argument.form == TuRaisedArgument::Floating) {
            value.SetDouble(argument.floating);
        } else if (argument.form == TuRaisedArgument::Signed) {
            value.SetDouble(static_cast<double>(argument.integer));
        } else if (argument.form == TuRaisedArgument::Unsigned) {
            value.SetDouble(static_cast<double>(bits));
        }
        break;
    case tvText:
        if (argument.form == TuRaisedArgument::Text && argument.text != nullptr) {
            value.SetText(argument.text);
        }
        break;
    case tvWideText:
        if (argument.form == TuRaisedArgument::WideText && argument.wide != nullptr) {
            value.SetWideText(argument.wide);
        }
        break;
    default:
        break;
    }
}

} // namespace

const TuErrorDefinition& TuLookupCause(int cause, const TuErrorDefinition* catalogue) {
    const auto wanted = static_cast<std::uint32_t>(cause);
    for (const TuErrorDefinition* record = catalogue; record != nullptr && record->category != 0;
         ++record) {
        if (record->cause == wanted) {
            return *record;
        }
    }
    tuSystemInfo.SetLastUndefinedCause(cause);
    return TuErrorFallback;
}

TuError::TuError(int requested, const TuErrorDefinition* catalogue) {
    const TuErrorDefinition& definition = TuLookupCause(requested, catalogue);
    cause = static_cast<int>(definition.cause);
    category = static_cast<int>(definition.category);
    messageId = static_cast<int>(definition.messageId);
    for (int i = 0; i < MaximumArguments; ++i) {
        argumentTypes[i] = static_cast<int>(definition.argumentTypes[i]);
    }
    messageTemplate = definition.messageTemplate;
}

TuError::TuError(const TuError& other)
    : std::exception(other), cause(other.cause), category(other.category),
      messageId(other.messageId), messageTemplate(other.messageTemplate) {
    for (int i = 0; i < MaximumArguments; ++i) {
        argumentTypes[i] = other.argumentTypes[i];
        arguments[i] = other.arguments[i];
    }
    // The copy is made while an exception is thrown, so it must not throw: without memory
    // the copy simply has no text.
    if (other.message != nullptr) {
        message = ArrayOrNull<char16_t>(TuWideLength(other.message.get()) + 1);
        if (message != nullptr) {
            TuWideCopy(message.get(), other.message.get());
        }
    }
}

TuError::~TuError() = default;

const char* TuError::what() const noexcept {
    narrowMessage.reset();
    const char16_t* text = Message();
    narrowMessage = ArrayOrNull<char>(TuNarrowUnitBytes * TuWideLength(text) + 1);
    if (narrowMessage == nullptr) {
        return "";
    }
    TuNarrow(narrowMessage.get(), text);
    return narrowMessage.get();
}

int TuError::ArgumentType(int position) const {
    return position >= 1 && position <= MaximumArguments ? argumentTypes[position - 1] : tvNone;
}

const TuValue& TuError::Argument(int position) const {
    return position >= 1 && position <= MaximumArguments ? arguments[position - 1] : EmptyValue();
}

const char16_t* TuError::Message() const noexcept {
    return message != nullptr ? message.get() : u"";
}

void TuError::Raise(int count, const TuRaisedArgument* raised, int supplied) {
    // Positions whose type is none (or unknown) take nothing, so the next typed position
    // takes the argument that was skipped. Positions beyond count stay empty.
    const int positions = std::clamp(count, 0, MaximumArguments);
    int next = 0;
    for (int position = 0; position < positions; ++position) {
        const int kind = argumentTypes[position];
        if (kind < tvChar || kind > tvWideText) {
            continue;
        }
        if (next >= supplied) {
            break;
        }
        ReadArgument(arguments[position], kind, raised[next++]);
    }

    // A string resource of the program replaces the built-in template when there is one.
    char16_t wideTemplate[MessageUnits];
    char resource[ResourceBytes];
    const void* module = tuSystemInfo.ModuleHandle();
    if (module != nullptr &&
        TuLoadString(module, static_cast<unsigned>(messageId), resource, ResourceBytes) != 0) {
        TuWidenN(wideTemplate, resource, MessageUnits);
    } else {
        TuWidenN(wideTemplate, messageTemplate != nullptr ? messageTemplate : "?", MessageUnits);
    }

    message = ArrayOrNull<char16_t>(MessageUnits);
    if (message != nullptr) {
        TuFormat(message.get(), MessageUnits, wideTemplate, arguments, MaximumArguments);
    }
}

TuException::~TuException() = default;
