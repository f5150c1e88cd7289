#include "uBoundedOutput.h"
#include "uFormatDirective.h"
#include "uSystemInfo.h"
#include "uValue.h"

// The message template language: "%" opens a directive that runs to a conversion letter
// (uFormatDirective.h). "%1>s" is argument 1 as text, "%1^b" program fact 1 as a base name,
// "%d" the next argument in order. Invalid directives are copied as text, starting at their
// "%".
namespace {

constexpr int RenderCapacity = 64; // one rendered value: at most 63 characters

// The value a directive renders: the argument or program fact it names, else the next
// argument in order (indexed directives do not move that counter). Null when every argument
// has been taken.
const TuValue* ChooseValue(const TuDirective& directive, const TuValue* arguments, int count,
                           int& nextArgument) {
    if (directive.argumentIndex > 0) {
        return &arguments[directive.argumentIndex - 1];
    }
    if (directive.factIndex > 0) {
        return &tuSystemInfo.Fact(directive.factIndex);
    }
    if (nextArgument < count) {
        return &arguments[nextArgument++];
    }
    return nullptr;
}

void PutValue(TuBoundedOutput& out, const TuValue& value, const TuDirective& directive) {
    char16_t rendered[RenderCapacity];
    const int length = value.Render(rendered, RenderCapacity, directive.conversion,
                                    directive.precision, directive.alternate, directive.sign);
    out.PutPadded(rendered, length < RenderCapacity ? length : RenderCapacity - 1, directive.width,
                  directive.leftJustify);
}

} // namespace

int TuFormat(char16_t* output, int capacity, const char16_t* messageTemplate,
             const TuValue* arguments, int count) {
    TuBoundedOutput out(output, capacity);
    int nextArgument = 0;
    const char16_t* p = messageTemplate;
    while (*p != 0) {
        if (*p != u'%') {
            out.Put(*p++);
            continue;
        }
        const TuDirective directive = TuParseDirective(p + 1, count);
        const TuValue* value = directive.kind == TuDirectiveKind::Value
                                   ? ChooseValue(directive, arguments, count, nextArgument)
                                   : nullptr;
        if (directive.kind == TuDirectiveKind::Character) {
            out.Put(directive.character);
        } else if (value != nullptr) {
            PutValue(out, *value, directive);
        } else {
            // Invalid, or no argument left to take: the "%" is copied and scanning goes on
            // right after it, so the rest of the directive is copied as ordinary text.
            out.Put(u'%');
            ++p;
            continue;
        }
        p = directive.end;
    }
    return out.Finish();
}
