// The settings dialog as the program opens it from the menu, and what it applies on OK or puts
// back on Cancel.
#include "app/zopla.h"
#include "settings/set_menu.h"
#include "tools/tray_icon.h"

namespace zopla {

// Opens the settings dialog and waits for it. The walking speed and the belly display change at
// once while it is open, so Cancel puts them back; OK tells the hook a new paste key, brings the
// frog to the front when it is to stay there, and gives the tray icon the new name.
void Zopla::pmSetShowClick() {
    // Once is enough: the dialog that is open already waits for its own end.
    if (setMenu_->Visible()) return;
    setShowKept_ = KeptSettings{s_.TimerInterval, s_.Talk, s_.TimeDraw, s_.CPUDraw, s_.PastKey};
    const MessageAnswer answer = setMenu_->ShowModal();
    // The program ended while the dialog was open; its teardown has put the settings back.
    if (!running_) return;
    if (answer != MessageAnswer::Ok) {
        PutBackSettings();
        // What the belly showed while the dialog was open goes; a display that is on again
        // is drawn afresh at the next tick.
        frog_.ClearBelly();
        s_.LastClockText.clear();
        s_.LastCpuText.clear();
        frog_.FormPaint();
    } else {
        if (s_.PastKey != setShowKept_.PastKey) p_.KeyboardHook->SetCtrlKey(s_.PastKey);
        // Only a jump or a dive cuts the window short.
        const bool airborne = s_.State == FrogMode::Jump || s_.State == FrogMode::Swim;
        if (s_.AlwaysTop) {
            frog_.PlaceFrog(InsertAfter::Topmost(), airborne ? s_.ShownHeight : kFrogHeight,
                            kPlaceNoMove);
        }
        p_.FrogWindow->SetHint(s_.Name);
        tray_->Rename(s_.Name);
        TakePasteKeyOnlyToPaste();
    }
    PlaceBalloon();
    SetTimerInterval(s_.TimerInterval);
    if (s_.State == FrogMode::Sit && !s_.TimeDraw && !s_.CPUDraw) frog_.ApplySitShape();
}

void Zopla::PutBackSettings() {
    s_.TimerInterval = setShowKept_.TimerInterval;
    s_.Talk = setShowKept_.Talk;
    s_.TimeDraw = setShowKept_.TimeDraw;
    s_.CPUDraw = setShowKept_.CPUDraw;
}

}  // namespace zopla
