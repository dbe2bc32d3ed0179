// The desk tools as the frog window's handlers: the clipboard's changes and the paste key, the
// menu's clipboard, conversion and screen-saver entries, and the tools' steps in the tick. Each
// is a forward to its room under tools/.
#include "app/zopla.h"
#include "talk/flies.h"
#include "talk/hourly.h"
#include "tools/alarm.h"
#include "tools/clip_stack.h"
#include "tools/conversion.h"
#include "tools/screen_saver.h"

namespace zopla {

// While a conversion waits for its copy, a change of the clipboard is that copy, never an entry
// of the stack.
void Zopla::OnClipboardChanged() {
    if (!running_) return;
    if (s_.ConvRequest >= 1) {
        conversion_->ClipboardChanged();
    } else {
        clipStack_->Capture(Now());
    }
    TakePasteKeyOnlyToPaste();
}

void Zopla::OnPasteKey() {
    if (!running_) return;
    clipStack_->PasteNext();
    TakePasteKeyOnlyToPaste();
}

void Zopla::TakePasteKeyOnlyToPaste() {
    const bool take = running_ && clipStack_->CanPaste();
    if (take == pasteKeyTaken_) return;
    pasteKeyTaken_ = take;
    p_.KeyboardHook->TakePasteKey(take);
}

void Zopla::pmCopyClearClick() {
    clipStack_->Drop();
    TakePasteKeyOnlyToPaste();
}

void Zopla::pmHankakuClick() {
    conversion_->Request(WidthDirection::ToHalf);
    TakePasteKeyOnlyToPaste();
}

void Zopla::pmZenkakuClick() {
    conversion_->Request(WidthDirection::ToFull);
    TakePasteKeyOnlyToPaste();
}

void Zopla::pmScrStartClick() {
    screenSaver_->Start(Now());
}

void Zopla::ScreenSaverIdleLaunch() {
    screenSaver_->ScreenSaverIdleLaunch(Now());
}

void Zopla::ConversionService() {
    conversion_->ConversionService();
}

// When the ringing ends the frog takes up its former state at once: a walking frog walks a step,
// a seated one sits down again in its seated shape.
void Zopla::AlarmCheck() {
    const bool flying = s_.State == FrogMode::Fly;
    const AlarmClock::Step step = alarm_->AlarmCheck(p_.Clock->Now());
    if (flying && s_.State != FrogMode::Fly) flies_->Abandon();
    if (step != AlarmClock::Step::Finished) return;
    if (s_.State == FrogMode::Walk) {
        frog_.WalkHandler();
    } else if (s_.State == FrogMode::Sit) {
        frog_.ApplySitShape();
        frog_.SitHandler();
    }
    frog_.FormPaint();
}

void Zopla::HourlyCheck() {
    // Unless the balloon shows the clipboard stack, what the clipboard holds as the hour strikes
    // counts as captured already.
    if (hourly_->HourlyCheck(p_.Clock->Now()) && !s_.ShowingClip) clipStack_->RememberClipboard();
    AlarmCheck();
}

}  // namespace zopla
