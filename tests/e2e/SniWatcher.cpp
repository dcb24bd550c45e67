// A stand-in for the watcher of a notification area that draws its icons itself: it owns
// org.kde.StatusNotifierWatcher on the session bus, says a host is registered, and prints
// "item BUS PATH" on its output for every icon that registers, so that a test can call the
// icon's methods as the area would.
#include <QCoreApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QStringList>

#include <cstdio>

namespace {

constexpr const char* kService = "org.kde.StatusNotifierWatcher";
constexpr const char* kPath = "/StatusNotifierWatcher";

// Holds the state; the adaptor below publishes it. Qt reads the watcher through an interface it
// builds from introspection, so the properties are published by the adaptor, which lists them.
class Watcher final : public QObject, protected QDBusContext {
    Q_OBJECT

public:
    QStringList items;

    void Register(const QString& service)
    {
        // An item names its bus name, or only its object path on the caller's connection.
        QString bus = service;
        QString path = QStringLiteral("/StatusNotifierItem");
        if (service.startsWith(QLatin1Char('/'))) {
            bus = message().service();
            path = service;
        }
        items << bus + path;
        std::printf("item %s %s\n", qPrintable(bus), qPrintable(path));
        std::fflush(stdout);
    }

    void RegisterHost(const QString& service)
    {
        std::printf("host %s\n", qPrintable(service));
        std::fflush(stdout);
    }
};

class WatcherAdaptor final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ RegisteredStatusNotifierItems)
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ IsStatusNotifierHostRegistered)
    Q_PROPERTY(int ProtocolVersion READ ProtocolVersion)

public:
    explicit WatcherAdaptor(Watcher* watcher) : QDBusAbstractAdaptor(watcher), watcher_(watcher) {}

    QStringList RegisteredStatusNotifierItems() const { return watcher_->items; }
    bool IsStatusNotifierHostRegistered() const { return true; }
    int ProtocolVersion() const { return 0; }

public Q_SLOTS:
    void RegisterStatusNotifierItem(const QString& service)
    {
        watcher_->Register(service);
        emit StatusNotifierItemRegistered(service);
    }
    void RegisterStatusNotifierHost(const QString& service) { watcher_->RegisterHost(service); }

Q_SIGNALS:
    void StatusNotifierItemRegistered(const QString& service);
    void StatusNotifierItemUnregistered(const QString& service);
    void StatusNotifierHostRegistered();

private:
    Watcher* watcher_;
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        std::fprintf(stderr, "sni-watcher: no session bus\n");
        return 1;
    }
    Watcher watcher;
    new WatcherAdaptor(&watcher);
    if (!bus.registerObject(QString::fromLatin1(kPath), &watcher) ||
        !bus.registerService(QString::fromLatin1(kService))) {
        std::fprintf(stderr, "sni-watcher: %s is taken\n", kService);
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}

#include "SniWatcher.moc"
