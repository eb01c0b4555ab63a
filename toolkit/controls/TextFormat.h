// TextFormat: a small holder of one GDI+ string format. Text controls build
// the format they keep with a temporary TextFormat that does not own the
// handle (Create with owns = false), set alignment, trimming and hot-key
// prefix on it, and take the handle: from then on the control owns it.
// An owning TextFormat deletes its handle when it is freed or re-created.
#pragma once

#include <optional>

#include "toolkit/Gdip.h"

class TextFormat {
public:
    TextFormat() = default;
    ~TextFormat();
    // Two holders of one owned handle would delete it twice.
    TextFormat(const TextFormat&) = delete;
    TextFormat& operator=(const TextFormat&) = delete;

    // Deletes the handle held, if any.
    void Delete();
    // A new format with the given StringFormatFlags and language; an owning
    // holder first deletes the format it held. True when GDI+ made one.
    bool Create(INT flags, LANGID language, bool owns = true);

    StringAlignment Alignment(std::optional<StringAlignment> value = std::nullopt);
    StringTrimming Trimming(std::optional<StringTrimming> value = std::nullopt);
    INT HotkeyPrefix(std::optional<INT> value = std::nullopt);
    INT Flags(std::optional<INT> value = std::nullopt);
    GpStringFormat* Handle() const { return formatHandle; }

private:
    GpStringFormat* formatHandle = nullptr;
    bool owns = false;
};
