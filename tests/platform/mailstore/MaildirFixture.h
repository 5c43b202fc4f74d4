#pragma once

// A Maildir tree built by a test in a temporary directory and removed after,
// and the reading of properties and table rows the store tests share.

#include "MailStore.h"
#include "ScopedEnvironment.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include <sys/time.h>

namespace platform::test {

class TempMaildir : public TempDirectory {
public:
    TempMaildir() { MakeFolder(""); }

    std::filesystem::path MakeFolder(std::string_view folder)
    {
        const std::filesystem::path dir = folder.empty() ? Root() : Root() / std::string(folder);
        for (const char* sub : { "cur", "new", "tmp" }) {
            std::filesystem::create_directories(dir / sub);
        }
        return dir;
    }

    // Writes a message file into folder/sub (sub is "cur" or "new") and sets
    // its modification time when one is given (seconds since 1970).
    std::filesystem::path AddMessage(std::string_view folder, std::string_view sub, std::string_view fileName,
        std::string_view text, long modified = 0)
    {
        const std::filesystem::path path = MakeFolder(folder) / std::string(sub) / std::string(fileName);
        std::ofstream(path, std::ios::binary) << text;
        if (modified != 0) {
            struct timeval times[2] = { { modified, 0 }, { modified, 0 } };
            ::utimes(path.c_str(), times);
        }
        return path;
    }
};

using Bytes = std::vector<std::uint8_t>;

// Values of one GetProps call, freed at the end of the test.
struct Props {
    ULONG count = 0;
    SPropValue* values = nullptr;
    HRESULT result = S_OK;
    ~Props() { MAPIFreeBuffer(values); }
    const SPropValue& operator[](std::size_t i) const { return values[i]; }
};

inline void Read(IMAPIProp& object, std::vector<ULONG> tags, Props& props)
{
    props.result = object.GetProps(tags, MAPI_UNICODE, &props.count, &props.values);
}

inline Bytes BinaryOf(const SPropValue& value)
{
    return Bytes(value.Value.bin.lpb, value.Value.bin.lpb + value.Value.bin.cb);
}

inline std::u16string TextOf(const SPropValue& value)
{
    return value.Value.lpszW;
}

inline Bytes ReadBinary(IMAPIProp& object, ULONG tag)
{
    Props props;
    Read(object, { tag }, props);
    EXPECT_EQ(props.result, S_OK);
    return props.count == 1 && props[0].ulPropTag == tag ? BinaryOf(props[0]) : Bytes();
}

// A table row: the entry identifier, the second column as text and the
// third as a number (-1 where there is none).
struct Row {
    Bytes id;
    std::u16string text;
    std::int32_t number = -1;
};

inline std::vector<Row> AllRows(IMAPITable& table)
{
    std::vector<Row> rows;
    for (;;) {
        SRowSet* set = nullptr;
        EXPECT_EQ(table.QueryRows(1, 0, &set), S_OK);
        if (set == nullptr || set->cRows == 0) {
            FreeProws(set);
            return rows;
        }
        EXPECT_EQ(set->cRows, 1u);
        const SRow& row = set->aRow[0];
        Row out;
        out.id = BinaryOf(row.lpProps[0]);
        if (row.cValues > 1 && PROP_TYPE(row.lpProps[1].ulPropTag) == PT_UNICODE)
            out.text = row.lpProps[1].Value.lpszW;
        if (row.cValues > 2 && PROP_TYPE(row.lpProps[2].ulPropTag) == PT_LONG)
            out.number = row.lpProps[2].Value.l;
        rows.push_back(std::move(out));
        FreeProws(set);
    }
}

inline std::unique_ptr<IMAPIProp> OpenEntry(IMAPISession& session, const Bytes& id, HRESULT expected = S_OK)
{
    std::unique_ptr<IMAPIProp> object;
    ULONG type = 0;
    EXPECT_EQ(session.OpenEntry(id, 0, &type, &object), expected);
    return object;
}

// A folder's messages sorted by one column: the identifier, that column and
// the message flags.
inline std::vector<Row> Contents(IMAPISession& session, const Bytes& folderId, ULONG key, ULONG order)
{
    auto folder = OpenEntry(session, folderId);
    std::unique_ptr<IMAPITable> table;
    EXPECT_EQ(static_cast<IMAPIFolder*>(folder.get())->GetContentsTable(0, &table), S_OK);
    const ULONG columns[] = { PR_ENTRYID, key, PR_MESSAGE_FLAGS };
    EXPECT_EQ(table->SetColumns(columns, 0), S_OK);
    const SSortOrder sort[] = { { key, order } };
    EXPECT_EQ(table->SortTable(sort, 0), S_OK);
    return AllRows(*table);
}

} // namespace platform::test
