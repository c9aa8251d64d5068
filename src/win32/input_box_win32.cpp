#include "input_box_win32.h"

#include "core/texts.h"
#include "core/utf.h"
#include "message_parameter_win32.h"
#include "top_level_win32.h"

#include "windows_api.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace korvane::win32 {

namespace {

struct Request {
    std::wstring prompt;
    std::wstring title;
    std::wstring text;
};

// A dialog template built in memory (DLGTEMPLATE and its items, WORD-aligned, each item
// DWORD-aligned). Sizes are in dialog units of "MS Shell Dlg", which the dialog manager
// scales with the font and the DPI, as it would a resource's; kept here rather than in the
// program's resource script so that the box, its control ids and its texts from core stay
// in one file of this layer, and whatever links the front end gets it whole.
class DialogTemplate {
public:
    DialogTemplate(DWORD style, short width, short height, const wchar_t *font, WORD points)
    {
        const DLGTEMPLATE header { style, 0, 0, 0, 0, width, height };
        appendBytes(&header, sizeof header);
        appendWord(0); // no menu
        appendWord(0); // the dialog class
        appendText(L""); // the caption, set at WM_INITDIALOG
        appendWord(points);
        appendText(font);
    }

    void add(
        WORD atom, WORD id, DWORD style, short x, short y, short cx, short cy, const wchar_t *text)
    {
        while (m_words.size() % 2)
            appendWord(0);
        const DLGITEMTEMPLATE item { WS_CHILD | WS_VISIBLE | style, 0, x, y, cx, cy, id };
        appendBytes(&item, sizeof item);
        appendWord(0xFFFF);
        appendWord(atom);
        appendText(text);
        appendWord(0); // no creation data
        ++count();
    }

    [[nodiscard]] const DLGTEMPLATE *get() const
    {
        return static_cast<const DLGTEMPLATE *>(static_cast<const void *>(m_words.data()));
    }

private:
    WORD &count() { return m_words[4]; } // cdit, after style and extended style

    void appendWord(WORD word) { m_words.push_back(word); }
    void appendBytes(const void *data, std::size_t size)
    {
        const auto *words = static_cast<const WORD *>(data);
        m_words.insert(m_words.end(), words, words + size / sizeof(WORD));
    }
    void appendText(const wchar_t *text)
    {
        do
            appendWord(static_cast<WORD>(*text));
        while (*text++);
    }

    std::vector<WORD> m_words;
};

constexpr WORD buttonAtom = 0x0080;
constexpr WORD editAtom = 0x0081;
constexpr WORD staticAtom = 0x0082;

INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        auto *request = messagePointer<Request *>(lParam);
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        SetWindowTextW(dialog, request->title.c_str());
        SetDlgItemTextW(dialog, inputBoxPromptId, request->prompt.c_str());
        const HWND edit = GetDlgItem(dialog, inputBoxEditId);
        SetWindowTextW(edit, request->text.c_str());
        // Over the owner's centre, where such boxes open, but whole on the owner's screen.
        if (const HWND owner = GetWindow(dialog, GW_OWNER)) {
            RECT ownerRect {}, box {};
            GetWindowRect(owner, &ownerRect);
            GetWindowRect(dialog, &box);
            MONITORINFO monitor {};
            monitor.cbSize = sizeof monitor;
            GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor);
            const RECT &work = monitor.rcWork;
            const LONG width = box.right - box.left;
            const LONG height = box.bottom - box.top;
            const LONG left = (ownerRect.left + ownerRect.right - width) / 2;
            const LONG top = (ownerRect.top + ownerRect.bottom - height) / 2;
            SetWindowPos(dialog, nullptr,
                std::clamp(left, work.left, std::max(work.left, work.right - width)),
                std::clamp(top, work.top, std::max(work.top, work.bottom - height)), 0, 0,
                SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        SetFocus(edit);
        SendMessageW(edit, EM_SETSEL, 0, -1);
        return FALSE; // the focus is set
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            auto *request = reinterpret_cast<Request *>(GetWindowLongPtrW(dialog, DWLP_USER));
            const HWND edit = GetDlgItem(dialog, inputBoxEditId);
            std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
            text.resize(static_cast<std::size_t>(
                GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
            request->text = text;
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        break;
    default:
        break;
    }
    return FALSE;
}

} // namespace

std::string InputBox::ask(
    const std::string &prompt, const std::string &title, const std::string &defaultText)
{
    DialogTemplate form(
        WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_SHELLFONT | DS_CENTER,
        250, 78, L"MS Shell Dlg", 9);
    form.add(staticAtom, inputBoxPromptId, SS_LEFT | SS_NOPREFIX, 7, 7, 180, 42, L"");
    form.add(
        buttonAtom, IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 193, 7, 50, 14, widen(texts::ok).c_str());
    form.add(buttonAtom, IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 193, 25, 50, 14,
        widen(texts::cancel).c_str());
    form.add(
        editAtom, inputBoxEditId, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 57, 236, 14, L"");

    Request request { widen(prompt), widen(title), widen(defaultText) };
    const HWND owner = TopLevelWindows::boxOwner();
    const ModalScope modal(owner);
    const INT_PTR result = DialogBoxIndirectParamW(
        GetModuleHandleW(nullptr), form.get(), owner, dialogProc, lParamOf(&request));
    // Cancel, the close box, and a box that could not be shown all give the empty text.
    return result == IDOK ? narrow(request.text) : std::string();
}

} // namespace korvane::win32
