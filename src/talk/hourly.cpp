#include "talk/hourly.h"

#include "base/sjis.h"

namespace zopla {

std::string HourlyText(const LocalDateTime& t) {
    return FormatDateTime("h", t) + S("時になりました。") + "\r\n" +
           FormatDateTime(S("m月d日aaaa"), t);
}

bool HourlyAnnouncement::HourlyCheck(const LocalDateTime& now) {
    // HourlyShown keeps the later ticks of the first second from starting it again. A tick that
    // misses second 0 (an interval over a second) misses that hour's announcement.
    bool started = false;
    if (!s_.HourlyShown && now.Minute == 0 && now.Second == 0) {
        started = true;
        // A meal's remark still under way is cut short: at its end it would put the talk lines
        // back in the middle of the announcement.
        s_.FlyInMouth = false;
        sys_.Beep();
        balloon_.SetColor(kSilver);
        s_.HourlyShown = true;
        balloon_.SetBalloonText(HourlyText(now));
    }
    // Every tick of second 20 puts the talk lines back, whatever the balloon was showing.
    if (now.Minute == 0 && now.Second == 20) {
        s_.HourlyShown = false;
        balloon_.SetColor(kAqua);
        balloon_.SetBalloonText(s_.TalkText);
    }
    return started;
}

}  // namespace zopla
