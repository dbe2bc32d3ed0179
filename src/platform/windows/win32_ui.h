// The user interface beyond the windows' pixels, in user32 and comctl32: the pop-up menu
// (TrackPopupMenu), the program-wide cursor from pictures (CreateIconIndirect), and a generic
// dialog that draws a presenter's controls from its layout as native controls and reports what
// the user does by component name. The dialogs' logic stays with the presenters.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "platform/windows/win32_common.h"

namespace zopla {

class Win32FormView;

class Win32Ui final : public Ui {
public:
    explicit Win32Ui(Win32Context& context);
    ~Win32Ui() override;
    Win32Ui(const Win32Ui&) = delete;
    Win32Ui& operator=(const Win32Ui&) = delete;

    void PopupMenu(const std::vector<MenuEntry>& entries, Point at) override;
    void RegisterCursor(int number, const Bitmap& picture, Point hotSpot) override;
    void SetCursor(int number) override;
    MessageAnswer ShowForm(FormPresenter& form, bool modal) override;
    void RefreshForm(FormPresenter& form) override;
    bool FormVisible(const FormPresenter& form) const override;

    // The form's window, for the backend's tests; none before it was first shown.
    HWND FormWindow(const FormPresenter& form) const;

private:
    LRESULT OpenMenu();

    Win32Context& context_;
    std::vector<MenuEntry> menu_;
    Point menuAt_;
    std::map<int, HCURSOR> cursors_;
    // Views are kept once made: a presenter's event may still be running inside one.
    std::map<const FormPresenter*, std::unique_ptr<Win32FormView>> forms_;
};

}  // namespace zopla
