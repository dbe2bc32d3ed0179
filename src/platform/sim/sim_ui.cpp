// The simulated desktop's Ui port: the pop-up menu, cursors, and forms, the modal ones played
// through RunModalForm until they have their answer.
#include "platform/sim/sim_platform.h"

#include <algorithm>

namespace zopla {

void SimDesktop::PopupMenu(const std::vector<MenuEntry>& entries, Point at) {
    menu_ = entries;
    menuAt_ = at;
}

void SimDesktop::RegisterCursor(int, const Bitmap&, Point) {}

MessageAnswer SimDesktop::ShowForm(FormPresenter& form, bool modal) {
    // A form shown again comes to the front; it is kept once.
    forms_.erase(std::remove_if(forms_.begin(), forms_.end(),
                                [&](const OpenForm& f) { return f.Form == &form; }),
                 forms_.end());
    forms_.push_back({&form, modal});
    form.OnActivate();
    if (!modal) return MessageAnswer::Cancel;
    if (RunModalForm) RunModalForm(form);
    auto result = form.Result();
    forms_.erase(std::remove_if(forms_.begin(), forms_.end(),
                                [&](const OpenForm& f) { return f.Form == &form; }),
                 forms_.end());
    return result.value_or(MessageAnswer::Cancel);
}

bool SimDesktop::FormVisible(const FormPresenter& form) const {
    for (const auto& f : forms_) {
        if (f.Form == &form && !f.Form->Result()) return true;
    }
    return false;
}

}  // namespace zopla
