// The resources as Windows reads them: the two dialog templates (texts, styles, tab order), the
// about entry's string and the icon's two sizes.
#include "base/TextConversion.h"
#include "res/resource.h"
#include "support/Texts.h"
#include "support/UiDriver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace {

INT_PTR CALLBACK plainDialog(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

// A template's window, created modeless.
using TemplateWindow = std::unique_ptr<std::remove_pointer_t<HWND>, decltype(&DestroyWindow)>;
TemplateWindow createFrom(int id) {
    return {CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), nullptr,
                               &plainDialog, 0),
            &DestroyWindow};
}

struct Control {
    int id;
    std::string className;
    std::string text;
    DWORD style;
};

// The controls in template order (their z-order), as Windows created them. Their places are
// the end-to-end layout test's.
std::vector<Control> controlsOf(HWND dialog) {
    std::vector<Control> controls;
    for (HWND child : support::childWindows(dialog))
        controls.push_back({GetDlgCtrlID(child), toCodePage932BestFit(support::className(child)),
                            toCodePage932BestFit(support::windowText(child)),
                            static_cast<DWORD>(GetWindowLongW(child, GWL_STYLE))});
    return controls;
}

TEST(Resources, MainDialogTemplate) {
    const TemplateWindow window = createFrom(IDD_UPDATE);
    HWND dialog = window.get();
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(support::text::mainTitle, support::windowText(dialog));
    const DWORD style = static_cast<DWORD>(GetWindowLongW(dialog, GWL_STYLE));
    const DWORD wanted = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    EXPECT_EQ(wanted, style & wanted);
    EXPECT_EQ(0u, style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    EXPECT_TRUE(GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    const std::vector<Control> controls = controlsOf(dialog);
    ASSERT_EQ(7u, controls.size());
    const DWORD button = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    // Bits that must be set, bits that must be clear (Windows may add others of its own, e.g.
    // an edit's border drawn as a client edge).
    const struct {
        int id;
        const char* className;
        const char* text;
        DWORD required;
        DWORD forbidden;
    } expected[] = {
        {IDC_CONNECT, "Button", "接続", button, BS_DEFPUSHBUTTON},
        {IDC_OPEN, "Button", "開く", button, BS_DEFPUSHBUTTON},
        {IDC_UPDATE, "Button", "更新", button, BS_DEFPUSHBUTTON},
        {IDOK, "Button", "完了", WS_CHILD | WS_DISABLED | WS_TABSTOP | BS_DEFPUSHBUTTON,
         WS_VISIBLE},
        {IDCANCEL, "Button", "ｷｬﾝｾﾙ", button, BS_DEFPUSHBUTTON},
        {IDC_LOG, "Edit", "",
         WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_WANTRETURN,
         WS_TABSTOP | ES_AUTOVSCROLL},
        {IDC_STATUS, "Static", "", WS_CHILD | WS_VISIBLE | WS_GROUP | SS_CENTERIMAGE,
         WS_TABSTOP | SS_TYPEMASK},
    };
    for (size_t i = 0; i < controls.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(expected[i].id, controls[i].id);
        EXPECT_STRCASEEQ(expected[i].className, controls[i].className.c_str());
        EXPECT_EQ(expected[i].text, controls[i].text);
        EXPECT_EQ(expected[i].required, controls[i].style & expected[i].required);
        EXPECT_EQ(0u, controls[i].style & expected[i].forbidden);
    }
    // Finish is the default button.
    EXPECT_EQ(IDOK, LOWORD(SendMessageW(dialog, DM_GETDEFID, 0, 0)));
}

TEST(Resources, AboutBoxTemplate) {
    const TemplateWindow window = createFrom(IDD_ABOUTBOX);
    HWND dialog = window.get();
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(support::text::aboutTitle, support::windowText(dialog));
    const DWORD style = static_cast<DWORD>(GetWindowLongW(dialog, GWL_STYLE));
    EXPECT_EQ(0u, style & WS_VISIBLE);
    EXPECT_EQ(0, GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_APPWINDOW);

    const std::vector<Control> controls = controlsOf(dialog);
    ASSERT_EQ(4u, controls.size());
    EXPECT_EQ(0xFFFF, controls[0].id & 0xFFFF);
    EXPECT_EQ(DWORD{SS_ICON}, controls[0].style & SS_TYPEMASK);
    EXPECT_NE(0, SendMessageW(GetWindow(dialog, GW_CHILD), STM_GETICON, 0, 0)) << "icon 128";
    EXPECT_EQ("Kelvo Version 1.0.0", controls[1].text);
    EXPECT_TRUE(controls[1].style & SS_NOPREFIX);
    EXPECT_FALSE(controls[2].text.empty());
    EXPECT_EQ(IDOK, controls[3].id);
    EXPECT_EQ("OK", controls[3].text);
    EXPECT_EQ(DWORD{BS_DEFPUSHBUTTON}, controls[3].style & 0xF);
}

TEST(Resources, AboutEntryStringAndIconSizes) {
    wchar_t text[64] = {};
    LoadStringW(GetModuleHandleW(nullptr), IDS_ABOUTBOX, text, 64);
    EXPECT_EQ("Kelvo のﾊﾞｰｼﾞｮﾝ情報(&A)...", toCodePage932BestFit(text));

    // The icon's group directory lists its images: one of each size, each present.
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC group = FindResourceA(module, MAKEINTRESOURCEA(IDR_MAINFRAME), RT_GROUP_ICON);
    ASSERT_NE(nullptr, group);
    const auto* directory = static_cast<const BYTE*>(LockResource(LoadResource(module, group)));
    ASSERT_NE(nullptr, directory);
    // NEWHEADER (reserved, type 1, count), then 14-byte entries: width, height, ..., id.
    const WORD count = *reinterpret_cast<const WORD*>(directory + 4);
    ASSERT_EQ(6u + 14u * count, SizeofResource(module, group));
    std::vector<int> sizes;
    for (WORD i = 0; i < count; ++i) {
        const BYTE* entry = directory + 6 + 14 * i;
        EXPECT_EQ(entry[0], entry[1]) << "square image " << i;
        sizes.push_back(entry[0]);
        const WORD id = *reinterpret_cast<const WORD*>(entry + 12);
        EXPECT_NE(nullptr, FindResourceA(module, MAKEINTRESOURCEA(id), RT_ICON)) << "image " << id;
    }
    std::sort(sizes.begin(), sizes.end());
    EXPECT_EQ((std::vector<int>{16, 32}), sizes);
}

} // namespace
