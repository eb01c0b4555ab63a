// PopupMenu: a list of menu entries (text and command identifier, an empty
// text being a separator) that opens in a window of its own.
#pragma once

#include <string>
#include <vector>

class PopupMenu {
public:
    struct Entry {
        std::wstring text;
        int command;
    };

    void AppendItem(const std::wstring& text, int command) { entries.push_back({text, command}); }
    const std::vector<Entry>& Entries() const { return entries; }

private:
    std::vector<Entry> entries;
};
