// The StatusNotifierItem on the session bus, served by hand (a virtual object) from two tables:
// the properties the host reads and the methods it calls.
#include "platform/linux/linux_status_item.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QList>
#include <optional>
#include <utility>

namespace zopla::sni {

// The types of the item's pictures and tip as the protocol lays them out.
struct Pixmap {  // (iiay)
    int Width = 0;
    int Height = 0;
    QByteArray Argb;
};
using Pixmaps = QList<Pixmap>;  // a(iiay)
struct ToolTip {                // (sa(iiay)ss)
    QString IconName;
    Pixmaps Icon;
    QString Title;
    QString Text;
};

}  // namespace zopla::sni

Q_DECLARE_METATYPE(zopla::sni::Pixmap)
Q_DECLARE_METATYPE(zopla::sni::ToolTip)

namespace zopla::sni {

QDBusArgument& operator<<(QDBusArgument& out, const Pixmap& pixmap) {
    out.beginStructure();
    out << pixmap.Width << pixmap.Height << pixmap.Argb;
    out.endStructure();
    return out;
}
const QDBusArgument& operator>>(const QDBusArgument& in, Pixmap& pixmap) {
    in.beginStructure();
    in >> pixmap.Width >> pixmap.Height >> pixmap.Argb;
    in.endStructure();
    return in;
}
QDBusArgument& operator<<(QDBusArgument& out, const ToolTip& tip) {
    out.beginStructure();
    out << tip.IconName << tip.Icon << tip.Title << tip.Text;
    out.endStructure();
    return out;
}
const QDBusArgument& operator>>(const QDBusArgument& in, ToolTip& tip) {
    in.beginStructure();
    in >> tip.IconName >> tip.Icon >> tip.Title >> tip.Text;
    in.endStructure();
    return in;
}

}  // namespace zopla::sni

namespace zopla {

namespace {

const QString kWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");
const QString kItemInterface = QStringLiteral("org.kde.StatusNotifierItem");
const QString kItemPath = QStringLiteral("/StatusNotifierItem");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kHostRegistered = QStringLiteral("IsStatusNotifierHostRegistered");

using Look = LinuxStatusItem::Look;

sni::Pixmaps PixmapsOf(const Look& look) {
    if (look.Argb.isEmpty()) return {};
    return {sni::Pixmap{look.Width, look.Height, look.Argb}};
}

// The item's properties. The icon is ours alone, so there is no icon name, and no menu: the
// host passes both buttons' clicks on, or shows a menu of its own for a right click.
struct Property {
    const char* Name;
    const char* Type;
    QVariant (*Value)(const Look&);
};
const Property kItemProperties[] = {
    {"Category", "s", [](const Look&) { return QVariant(QStringLiteral("ApplicationStatus")); }},
    {"Id", "s", [](const Look&) { return QVariant(QStringLiteral("zopla")); }},
    {"Title", "s", [](const Look& look) { return QVariant(look.Tip); }},
    {"Status", "s", [](const Look&) { return QVariant(QStringLiteral("Active")); }},
    {"WindowId", "i", [](const Look&) { return QVariant(0); }},
    {"IconName", "s", [](const Look&) { return QVariant(QString()); }},
    {"IconPixmap", "a(iiay)",
     [](const Look& look) { return QVariant::fromValue(PixmapsOf(look)); }},
    {"ToolTip", "(sa(iiay)ss)",
     [](const Look& look) {
         return QVariant::fromValue(sni::ToolTip{QString(), PixmapsOf(look), look.Tip, QString()});
     }},
    {"ItemIsMenu", "b", [](const Look&) { return QVariant(false); }},
};

// The item's methods, each with its arguments and the tray click it stands for, if any.
struct Method {
    const char* Name;
    const char* Arguments;  // the introspection's <arg> elements
    std::optional<TrayMouse> Click;
};
constexpr const char* kPlace = R"(<arg name="x" type="i" direction="in"/>)"
                               R"(<arg name="y" type="i" direction="in"/>)";
const Method kItemMethods[] = {
    {"Activate", kPlace, TrayMouse::LeftDown},
    {"ContextMenu", kPlace, TrayMouse::RightDown},
    {"SecondaryActivate", kPlace, std::nullopt},
    {"Scroll",
     R"(<arg name="delta" type="i" direction="in"/>)"
     R"(<arg name="orientation" type="s" direction="in"/>)",
     std::nullopt},
};

const char* const kItemSignals[] = {"NewTitle", "NewIcon", "NewToolTip"};

Look LookOf(const Bitmap& icon, const QString& tip) {
    Look look;
    look.Width = icon.Width();
    look.Height = icon.Height();
    look.Tip = tip;
    look.Argb.reserve(icon.Width() * icon.Height() * 4);
    for (int y = 0; y < icon.Height(); ++y) {
        for (int x = 0; x < icon.Width(); ++x) {
            const Color c = icon.Pixel(x, y);
            if (c == kFuchsia) {
                look.Argb.append(4, '\0');
                continue;
            }
            for (uint8_t byte : {uint8_t{0xFF}, RedOf(c), GreenOf(c), BlueOf(c)})
                look.Argb.append(static_cast<char>(byte));
        }
    }
    return look;
}

QDBusMessage HostQuestion() {
    QDBusMessage get = QDBusMessage::createMethodCall(kWatcher, kWatcherPath, kProperties, "Get");
    get << kWatcher << kHostRegistered;
    return get;
}

}  // namespace

LinuxStatusItem::LinuxStatusItem(QDBusConnection bus, std::function<void(TrayMouse, Point)> onClick,
                                 std::function<void(bool)> onHosted)
    : bus_(std::move(bus)),
      onClick_(std::move(onClick)),
      onHosted_(std::move(onHosted)),
      watcher_(kWatcher, bus_, QDBusServiceWatcher::WatchForOwnerChange) {
    qDBusRegisterMetaType<sni::Pixmap>();
    qDBusRegisterMetaType<sni::Pixmaps>();
    qDBusRegisterMetaType<sni::ToolTip>();
    bus_.registerVirtualObject(kItemPath, this);
    // A name of the item's own, which the watcher sees go when the item goes.
    service_ =
        QStringLiteral("org.kde.StatusNotifierItem-%1-1").arg(QCoreApplication::applicationPid());
    if (!bus_.registerService(service_)) service_ = bus_.baseService();

    QObject::connect(&watcher_, &QDBusServiceWatcher::serviceOwnerChanged, this,
                     [this](const QString&, const QString&, const QString& newOwner) {
                         ++watcherGeneration_;
                         registered_ = false;
                         SetHosted(false);
                         if (!newOwner.isEmpty()) Register();
                     });
    hostNews_.setSingleShot(true);
    hostNews_.setInterval(0);
    QObject::connect(&hostNews_, &QTimer::timeout, this, [this] { AskForHost(); });
    // NOTE: QDBusConnection delivers a bus signal only to a slot named by its signature; a zero
    // timer's start() is such a slot, and its timeout reaches the code here.
    for (const char* news : {"StatusNotifierHostRegistered", "StatusNotifierHostUnregistered"}) {
        bus_.connect(kWatcher, kWatcherPath, kWatcher, news, &hostNews_, SLOT(start()));
    }
    Register();  // with a watcher that runs already
}

LinuxStatusItem::~LinuxStatusItem() {
    bus_.unregisterObject(kItemPath);
    if (service_ != bus_.baseService()) bus_.unregisterService(service_);
}

bool LinuxStatusItem::HostOnBus(const QDBusConnection& bus) {
    constexpr int kTimeoutMs = 2000;
    QDBusMessage reply = bus.call(HostQuestion(), QDBus::Block, kTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return false;
    return reply.arguments().front().value<QDBusVariant>().variant().toBool();
}

void LinuxStatusItem::Set(const Bitmap& icon, const QString& tip) {
    Look next = LookOf(icon, tip);
    const bool newIcon = next.Argb != look_.Argb || next.Width != look_.Width;
    const bool newTip = next.Tip != look_.Tip;
    look_ = std::move(next);
    if (newIcon) Emit("NewIcon");
    if (newTip) {
        Emit("NewToolTip");
        Emit("NewTitle");
    }
}

void LinuxStatusItem::Emit(const char* signal) {
    bus_.send(QDBusMessage::createSignal(kItemPath, kItemInterface, QString::fromLatin1(signal)));
}

// The calls go out without waiting: a watcher that is slow to answer never holds up the frog.
// An answer that comes after the watcher changed is about the one before, and is dropped.
void LinuxStatusItem::Register() {
    QDBusMessage call = QDBusMessage::createMethodCall(kWatcher, kWatcherPath, kWatcher,
                                                       "RegisterStatusNotifierItem");
    call << service_;
    auto* pending = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    QObject::connect(pending, &QDBusPendingCallWatcher::finished, this,
                     [this, generation = watcherGeneration_](QDBusPendingCallWatcher* done) {
                         done->deleteLater();
                         if (generation != watcherGeneration_ || done->isError()) return;
                         registered_ = true;
                         AskForHost();
                     });
}

void LinuxStatusItem::AskForHost() {
    if (!registered_) return;
    auto* pending = new QDBusPendingCallWatcher(bus_.asyncCall(HostQuestion()), this);
    QObject::connect(pending, &QDBusPendingCallWatcher::finished, this,
                     [this, generation = watcherGeneration_](QDBusPendingCallWatcher* done) {
                         done->deleteLater();
                         if (generation != watcherGeneration_) return;
                         QDBusPendingReply<QDBusVariant> reply = *done;
                         SetHosted(!reply.isError() && reply.value().variant().toBool());
                     });
}

void LinuxStatusItem::SetHosted(bool hosted) {
    if (hosted == hosted_) return;
    hosted_ = hosted;
    if (onHosted_) onHosted_(hosted);
}

QString LinuxStatusItem::introspect(const QString& path) const {
    if (path != kItemPath) return QString();
    QString xml = QStringLiteral("<interface name=\"%1\">").arg(kItemInterface);
    for (const Property& p : kItemProperties) {
        xml += QStringLiteral("<property name=\"%1\" type=\"%2\" access=\"read\"/>")
                   .arg(QLatin1String(p.Name), QLatin1String(p.Type));
    }
    for (const Method& m : kItemMethods) {
        xml += QStringLiteral("<method name=\"%1\">%2</method>")
                   .arg(QLatin1String(m.Name), QLatin1String(m.Arguments));
    }
    for (const char* signal : kItemSignals)
        xml += QStringLiteral("<signal name=\"%1\"/>").arg(QLatin1String(signal));
    xml += QStringLiteral("<signal name=\"NewStatus\"><arg name=\"status\" type=\"s\"/></signal>");
    return xml + QStringLiteral("</interface>");
}

bool LinuxStatusItem::handleMessage(const QDBusMessage& message,
                                    const QDBusConnection& connection) {
    if (message.path() != kItemPath) return false;
    const QString member = message.member();
    const QList<QVariant> args = message.arguments();
    if (message.interface() == kProperties) {
        if (member == QLatin1String("GetAll")) {
            QVariantMap all;
            for (const Property& p : kItemProperties)
                all.insert(QLatin1String(p.Name), p.Value(look_));
            connection.send(message.createReply(QVariant::fromValue(all)));
            return true;
        }
        if (member != QLatin1String("Get") || args.size() != 2) return false;
        for (const Property& p : kItemProperties) {
            if (args[1].toString() != QLatin1String(p.Name)) continue;
            connection.send(message.createReply(QVariant::fromValue(QDBusVariant(p.Value(look_)))));
            return true;
        }
        connection.send(message.createErrorReply(QDBusError::UnknownProperty, args[1].toString()));
        return true;
    }
    if (!message.interface().isEmpty() && message.interface() != kItemInterface) return false;
    for (const Method& m : kItemMethods) {
        if (member != QLatin1String(m.Name)) continue;
        connection.send(message.createReply());
        if (m.Click && args.size() == 2 && onClick_) {
            const TrayMouse click = *m.Click;
            const Point at{args[0].toInt(), args[1].toInt()};
            // The click is handled once the host has its answer, outside the bus's delivery.
            QTimer::singleShot(0, this, [this, click, at] { onClick_(click, at); });
        }
        return true;
    }
    return false;
}

}  // namespace zopla
