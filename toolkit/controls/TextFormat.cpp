#include "toolkit/controls/TextFormat.h"

TextFormat::~TextFormat() {
    if (owns) Delete();
}

void TextFormat::Delete() {
    if (formatHandle) GdipDeleteStringFormat(formatHandle);
    formatHandle = nullptr;
}

bool TextFormat::Create(INT flags, LANGID language, bool owning) {
    owns = owning;
    if (owns) Delete();
    GpStringFormat* made = nullptr;
    if (GdipCreateStringFormat(flags, language, &made) != Ok) return false;
    formatHandle = made;
    return true;
}

StringAlignment TextFormat::Alignment(std::optional<StringAlignment> value) {
    StringAlignment current = StringAlignmentNear;
    if (!formatHandle) return current;
    if (value) GdipSetStringFormatAlign(formatHandle, *value);
    GdipGetStringFormatAlign(formatHandle, &current);
    return current;
}

StringTrimming TextFormat::Trimming(std::optional<StringTrimming> value) {
    StringTrimming current = StringTrimmingNone;
    if (!formatHandle) return current;
    if (value) GdipSetStringFormatTrimming(formatHandle, *value);
    GdipGetStringFormatTrimming(formatHandle, &current);
    return current;
}

INT TextFormat::HotkeyPrefix(std::optional<INT> value) {
    INT current = HotkeyPrefixNone;
    if (!formatHandle) return current;
    if (value) GdipSetStringFormatHotkeyPrefix(formatHandle, *value);
    GdipGetStringFormatHotkeyPrefix(formatHandle, &current);
    return current;
}

INT TextFormat::Flags(std::optional<INT> value) {
    INT current = 0;
    if (!formatHandle) return current;
    if (value) GdipSetStringFormatFlags(formatHandle, *value);
    GdipGetStringFormatFlags(formatHandle, &current);
    return current;
}
