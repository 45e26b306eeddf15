// Dialog template 103 as the program file holds it: the header and the seven controls, read
// byte by byte from the compiled resource, so that no style a resource statement adds on its own
// goes unnoticed.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "resources/resource_ids.h"

namespace {

const WORD buttonClass = 0x0080;
const WORD editClass = 0x0081;
const WORD staticClass = 0x0082;
const DWORD visibleChild = WS_CHILD | WS_VISIBLE;

// Reads the words of an extended dialog template in order, keeping each item DWORD-aligned.
class TemplateReader {
public:
    TemplateReader(const BYTE* start, std::size_t size) : start(start), size(size) {}

    template <typename T> T read()
    {
        T value{};
        if (offset + sizeof(T) > size) {
            ADD_FAILURE() << "template ends early at byte " << offset;
            return value;
        }
        std::memcpy(&value, start + offset, sizeof(T));
        offset += sizeof(T);
        return value;
    }

    // A string field: either 0xFFFF and an ordinal, or a NUL-terminated UTF-16 string.
    std::string readText(WORD* ordinal = nullptr)
    {
        WORD first = read<WORD>();
        if (first == 0xFFFF) {
            const WORD value = read<WORD>();
            if (ordinal != nullptr)
                *ordinal = value;
            return "#" + std::to_string(value);
        }
        std::string text;
        for (; first != 0 && offset < size; first = read<WORD>())
            text += first < 0x80 ? static_cast<char>(first) : '?';
        return text;
    }

    void alignToDword() { offset = (offset + 3) & ~std::size_t{3}; }

    std::size_t position() const { return offset; }

private:
    const BYTE* start;
    std::size_t size;
    std::size_t offset = 0;
};

struct ExpectedItem {
    DWORD style;
    short x, y, cx, cy;
    std::int32_t id;
    WORD classAtom;
    const char* text;
};

class DialogTemplate : public ::testing::Test {
protected:
    void SetUp() override
    {
        HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(TAVREL_DIALOG_ID), RT_DIALOG);
        ASSERT_NE(found, nullptr);
        bytes = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, found)));
        ASSERT_NE(bytes, nullptr);
        size = SizeofResource(nullptr, found);
    }

    const BYTE* bytes = nullptr;
    std::size_t size = 0;
};

TEST_F(DialogTemplate, HeaderIsTheExtendedTemplateOfTheSettingsDialog)
{
    TemplateReader reader(bytes, size);
    EXPECT_EQ(reader.read<WORD>(), 1) << "dialog version";
    EXPECT_EQ(reader.read<WORD>(), 0xFFFF) << "extended template signature";
    EXPECT_EQ(reader.read<DWORD>(), 0u) << "help id";
    EXPECT_EQ(reader.read<DWORD>(), 0u) << "extended style";
    EXPECT_EQ(reader.read<DWORD>(), static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU |
                                                       DS_MODALFRAME | DS_SETFONT | DS_FIXEDSYS));
    EXPECT_EQ(reader.read<WORD>(), 7) << "control count";
    EXPECT_EQ(reader.read<short>(), 0);
    EXPECT_EQ(reader.read<short>(), 0);
    EXPECT_EQ(reader.read<short>(), 186);
    EXPECT_EQ(reader.read<short>(), 95);
    EXPECT_EQ(reader.readText(), "") << "menu";
    EXPECT_EQ(reader.readText(), "") << "window class";
    EXPECT_EQ(reader.readText(), "Dialog");
    EXPECT_EQ(reader.read<WORD>(), 8) << "point size";
    EXPECT_EQ(reader.read<WORD>(), 400) << "weight";
    EXPECT_EQ(reader.read<BYTE>(), 0) << "italic";
    EXPECT_EQ(reader.read<BYTE>(), DEFAULT_CHARSET);
    EXPECT_EQ(reader.readText(), "MS Shell Dlg");
}

TEST_F(DialogTemplate, ControlsComeInTabOrderWithExactlyTheirStyles)
{
    const ExpectedItem expected[] = {
        {BS_DEFPUSHBUTTON | WS_TABSTOP, 129, 7, 50, 14, IDOK, buttonClass, "OK"},
        {BS_PUSHBUTTON | WS_TABSTOP, 129, 24, 50, 14, IDCANCEL, buttonClass, "Cancel"},
        {SS_LEFT | WS_GROUP, 7, 7, 65, 8, -1, staticClass, "Tavrel Alpha 1"},
        {BS_AUTOCHECKBOX | WS_TABSTOP, 15, 22, 91, 10, TAVREL_GRAVITY_BOX_ID, buttonClass,
         "Mouse Controls Gravity"},
        {SS_LEFT | WS_GROUP, 18, 52, 78, 8, -1, staticClass, "Snow Flakes Per Second"},
        {ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 110, 49, 40, 14, TAVREL_RATE_EDIT_ID,
         editClass, ""},
        {BS_AUTOCHECKBOX | WS_TABSTOP, 15, 34, 77, 10, TAVREL_TRANSPARENT_BOX_ID, buttonClass,
         "Transparent Flakes"},
    };
    TemplateReader reader(bytes, size);
    // Skip the header: 26 bytes of fixed fields, then menu, class, caption, font and its name.
    for (int i = 0; i < 13; ++i)
        reader.read<WORD>();
    reader.readText();
    reader.readText();
    reader.readText();
    reader.read<DWORD>();
    reader.read<WORD>();
    reader.readText();

    for (const ExpectedItem& item : expected) {
        SCOPED_TRACE(item.text);
        reader.alignToDword();
        EXPECT_EQ(reader.read<DWORD>(), 0u) << "help id";
        EXPECT_EQ(reader.read<DWORD>(), 0u) << "extended style";
        EXPECT_EQ(reader.read<DWORD>(), visibleChild | item.style);
        EXPECT_EQ(reader.read<short>(), item.x);
        EXPECT_EQ(reader.read<short>(), item.y);
        EXPECT_EQ(reader.read<short>(), item.cx);
        EXPECT_EQ(reader.read<short>(), item.cy);
        EXPECT_EQ(reader.read<std::int32_t>(), item.id);
        WORD classAtom = 0;
        reader.readText(&classAtom);
        EXPECT_EQ(classAtom, item.classAtom);
        EXPECT_EQ(reader.readText(), item.text);
        EXPECT_EQ(reader.read<WORD>(), 0) << "creation data";
    }
    // At most the padding to a whole DWORD follows the seventh control.
    EXPECT_LT(size - reader.position(), 4u);
}

} // namespace
