#include "uBoundedOutput.h"
#include "uSystemInfo.h"
#include "uValue.h"

// The message template language: "%" opens a directive that runs to a conversion letter.
// "%1>s" is argument 1 as text, "%1^b" program fact 1 as a base name, "%d" the next
// argument in order. Invalid directives are copied as text, starting at their "%".
namespace {

constexpr int RenderCapacity = 64; // one rendered value: at most 63 characters

bool IsValueConversion(char16_t c) {
    switch (c) {
    case u'B':
    case u'C':
    case u'P':
    case u'S':
    case u'X':
    case u'b':
    case u'c':
    case u'd':
    case u'o':
    case u'p':
    case u's':
    case u'u':
    case u'x':
    case u'E':
    case u'G':
    case u'e':
    case u'f':
    case u'g':
        return true;
    default:
        return false;
    }
}

bool HasDefaultPrecision(char16_t c) {
    return c == u'E' || c == u'G' || c == u'e' || c == u'f' || c == u'g';
}

struct Directive {
    char16_t sign = 0;
    bool alternate = false;
    bool leftJustify = false;
    int width = 0;
    int precision = -1;
    bool inPrecision = false;
    int argumentIndex = 0;
    int factIndex = 0;
};

// Numbers in a template are capped so that absurd widths cannot overflow.
int AddDigit(int number, char16_t digit) {
    constexpr int Limit = 100000;
    const int value = number * 10 + (digit - u'0');
    return value > Limit ? Limit : value;
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
        const char16_t* start = p++;
        Directive d;
        bool valid = true;
        bool done = false;
        const TuValue* value = nullptr;
        char16_t conversion = 0;
        while (!done) {
            const char16_t c = *p;
            if (c >= u'0' && c <= u'9') {
                if (d.inPrecision)
                    d.precision = AddDigit(d.precision, c);
                else
                    d.width = AddDigit(d.width, c);
                ++p;
                continue;
            }
            switch (c) {
            case u' ':
            case u'+':
                d.sign = c;
                break;
            case u'#':
                d.alternate = true;
                break;
            case u'-':
                d.leftJustify = true;
                break;
            case u'.':
                d.inPrecision = true;
                d.precision = 0;
                break;
            case u'>':
                d.argumentIndex = d.width;
                d.width = 0;
                valid = d.argumentIndex <= count;
                break;
            case u'^':
                d.factIndex = d.width;
                d.width = 0;
                valid = d.factIndex <= TuSystemInfo::FactCount;
                break;
            case u'h':
            case u'l':
                break;
            case u'%':
            case u'V':
            case u'v':
                out.Put(u'%');
                done = true;
                break;
            case u'D':
                out.Put(u'\\');
                done = true;
                break;
            case u'O':
                out.Put(u'/');
                done = true;
                break;
            default:
                if (IsValueConversion(c)) {
                    conversion = c;
                    done = true;
                } else {
                    valid = false; // any other character, the end of the template included
                }
                break;
            }
            if (!valid)
                break;
            ++p;
        }
        if (valid && conversion != 0) {
            if (d.argumentIndex > 0)
                value = &arguments[d.argumentIndex - 1];
            else if (d.factIndex > 0)
                value = &tuSystemInfo.Fact(d.factIndex);
            else if (nextArgument < count)
                value = &arguments[nextArgument++];
            else
                valid = false; // every argument has been taken
        }
        if (!valid) {
            out.Put(u'%');
            p = start + 1;
            continue;
        }
        if (value == nullptr)
            continue; // a directive that wrote its own character
        if (HasDefaultPrecision(conversion) && d.precision < 0)
            d.precision = 6;
        char16_t rendered[RenderCapacity];
        int length =
            value->Render(rendered, RenderCapacity, conversion, d.precision, d.alternate, d.sign);
        if (length > RenderCapacity - 1)
            length = RenderCapacity - 1;
        const int padding = d.width > length ? d.width - length : 0;
        if (!d.leftJustify)
            for (int i = 0; i < padding; ++i)
                out.Put(u' ');
        for (int i = 0; i < length; ++i)
            out.Put(rendered[i]);
        if (d.leftJustify)
            for (int i = 0; i < padding; ++i)
                out.Put(u' ');
    }
    return out.Finish();
}
