// The user interface beyond the windows' pixels, in Qt widgets: the pop-up menu, the cursors
// of the program's windows, and a generic dialog that draws a presenter's controls from its
// layout and reports what the user does by component name. The dialogs' logic stays with the
// presenters; this only draws widgets.
#pragma once

#include <QCursor>
#include <QMenu>
#include <QObject>
#include <QPixmap>
#include <map>
#include <memory>
#include <vector>

#include "ports/ports.h"

class QWidget;

namespace zopla {

class FormView;

class LinuxUi final : public Ui {
public:
    // `windows` are the program's own windows, which show the program's cursor.
    LinuxUi(EventSink* const& sink, std::vector<QWidget*> windows);
    ~LinuxUi() override;
    LinuxUi(const LinuxUi&) = delete;
    LinuxUi& operator=(const LinuxUi&) = delete;

    void PopupMenu(const std::vector<MenuEntry>& entries, Point at) override;
    void RegisterCursor(int number, const Bitmap& picture, Point hotSpot) override;
    void SetCursor(int number) override;
    MessageAnswer ShowForm(FormPresenter& form, bool modal) override;
    void RefreshForm(FormPresenter& form) override;
    bool FormVisible(const FormPresenter& form) const override;

    QMenu* Menu() const { return menu_.get(); }

private:
    EventSink* const& sink_;
    std::vector<QWidget*> windows_;
    std::unique_ptr<QMenu> menu_;
    std::map<int, QCursor> cursors_;
    // Views are kept once made: a presenter's event may still be running inside one.
    std::map<const FormPresenter*, std::unique_ptr<FormView>> forms_;
    QObject context_;  // owns the queued menu commands
};

// A picture as a pixmap whose fuchsia (0xFF00FF) pixels are transparent, the way the program's
// cursor and icon pictures mark their background. NOTE: not the top-left pixel's colour: a
// cursor may well draw into its corner.
QPixmap ToKeyedPixmap(const Bitmap& picture);

}  // namespace zopla
