#pragma once

// The read-only mapping of a workbook file, in the steps the reader names:
// open the file for mapping, take its size, create the mapping, map a view.
// Stands in for the platform's files layer until the reader moves onto it.

#include <cstddef>
#include <cstdint>
#include <span>

namespace spreadsheet {

class WorkbookMapping
{
public:
    WorkbookMapping() = default;
    WorkbookMapping(const WorkbookMapping&) = delete;
    WorkbookMapping& operator=(const WorkbookMapping&) = delete;
    ~WorkbookMapping() { Close(); }

    // Maps the whole file read-only. False when any step fails (no such
    // file, no access, an empty file); nothing stays open then.
    bool Open(const char16_t* path);

    // Unmaps the view and closes the file.
    void Close();

    std::span<const std::uint8_t> View() const { return { view_, size_ }; }

private:
    int file_ = -1;
    const std::uint8_t* view_ = nullptr;
    std::size_t size_ = 0;
};

} // namespace spreadsheet
