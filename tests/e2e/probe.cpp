// SPDX-License-Identifier: GPL-3.0-or-later
// A probe that end-to-end tests preload into the unmodified program
// (LD_PRELOAD=libnumbrook_probe.so NUMBROOK_PROBE=<file>). It reads the
// widgets from inside the process and writes what they show to <file> as
// JSON, every 50 ms of the program's own event loop:
//
//   {"seq": heartbeats so far, "focus": objectName of the focus widget,
//    "windows": [{"objectName", "title", "visible", "modal",
//                 "geometry": [x, y, w, h], "texts": [visible labels' texts],
//                 "buttons": [{"text", "geometry"} of visible buttons]}],
//    "widgets": {objectName: {"class", "text", "visible", "enabled", "checked",
//                             "geometry": [global x, y, w, h]}},
//    "events": [{"n", "seq", "event", "object", "key", "focus", "watch": {name: text}}]}
//
// Events are key presses (as delivered to the focus widget), clicks of
// buttons and "tick()" signals of timer objects; each records the texts of
// the widgets named in NUMBROOK_PROBE_WATCH (comma separated, children of a
// window) at that moment, so a test can tell what a label showed when a key
// went down.
// Without NUMBROOK_PROBE the probe records nothing. Either way it leaves the
// environment of the program without itself and its settings.
#include <QAbstractButton>
#include <QApplication>
#include <QAbstractSpinBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTimer>
#include <QWidget>

namespace {

constexpr int kHeartbeatMs = 50;
constexpr qsizetype kMaxEvents = 4000;
constexpr const char* kHookedProperty = "_numbrook_probe_hooked";

QJsonArray rectJson(const QWidget* w)
{
    const QPoint topLeft = w->mapToGlobal(QPoint(0, 0));
    return {topLeft.x(), topLeft.y(), w->width(), w->height()};
}

QString textOf(const QWidget* w)
{
    if (const auto* l = qobject_cast<const QLabel*>(w))
        return l->text();
    if (const auto* b = qobject_cast<const QAbstractButton*>(w))
        return b->text();
    if (const auto* e = qobject_cast<const QLineEdit*>(w))
        return e->text();
    if (const auto* s = qobject_cast<const QAbstractSpinBox*>(w))
        return s->text();
    return {};
}

QString nameOf(const QObject* o)
{
    return o ? o->objectName() : QString();
}

class Probe final : public QObject {
    Q_OBJECT
public:
    Probe(QString path, QStringList watched, QObject* parent)
        : QObject(parent), path_(std::move(path)), watched_(std::move(watched))
    {
        qApp->installEventFilter(this);
        connect(&heartbeat_, &QTimer::timeout, this, &Probe::beat);
        heartbeat_.start(kHeartbeatMs);
        beat();
    }

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress && receiver == QApplication::focusWidget()) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            record("key-press", receiver, QKeySequence(key).toString(QKeySequence::PortableText));
        }
        return false;
    }

private slots:
    void clicked() { record("clicked", sender()); }
    void ticked() { record("tick", sender()); }

private:
    void beat()
    {
        ++seq_;
        hookNewObjects();
        write();
    }

    // Buttons and timers made since the last heartbeat get their signals watched.
    void hookNewObjects()
    {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            QList<QObject*> objects = top->findChildren<QObject*>();
            objects.prepend(top);
            for (QObject* o : objects) {
                if (o->property(kHookedProperty).toBool())
                    continue;
                o->setProperty(kHookedProperty, true);
                if (qobject_cast<QAbstractButton*>(o))
                    connect(o, SIGNAL(clicked()), this, SLOT(clicked()));
                else if (o->metaObject()->indexOfSignal("tick()") >= 0)
                    connect(o, SIGNAL(tick()), this, SLOT(ticked()));
            }
        }
    }

    QWidget* findWidget(const QString& name) const
    {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* w = top->findChild<QWidget*>(name))
                return w;
        return nullptr;
    }

    void record(const char* what, const QObject* object, const QString& key = {})
    {
        QJsonObject watch;
        for (const QString& name : watched_)
            if (const QWidget* w = findWidget(name))
                watch[name] = textOf(w);
        QJsonObject e{
            {"n", static_cast<qint64>(eventCount_++)},      {"seq", static_cast<qint64>(seq_)},
            {"event", QString::fromLatin1(what)},           {"object", nameOf(object)},
            {"focus", nameOf(QApplication::focusWidget())}, {"watch", watch}};
        if (!key.isEmpty())
            e["key"] = key;
        if (events_.size() >= kMaxEvents)
            events_.removeFirst();
        events_.append(e);
    }

    void write()
    {
        QJsonArray windows;
        QJsonObject widgets;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            QList<QWidget*> all = top->findChildren<QWidget*>();
            all.prepend(top);
            // A window's visible labels and buttons, named or not (a message
            // box names none of its buttons).
            QJsonArray texts;
            QJsonArray buttons;
            for (const QWidget* w : all) {
                // A dialog is a window of its own, though a child of its parent.
                if (w->isVisible() && w->window() == top) {
                    if (qobject_cast<const QLabel*>(w))
                        texts.append(textOf(w));
                    if (qobject_cast<const QAbstractButton*>(w))
                        buttons.append(QJsonObject{{"text", textOf(w)}, {"geometry", rectJson(w)}});
                }
                if (w->objectName().isEmpty() || widgets.contains(w->objectName()))
                    continue;
                QJsonObject o{{"class", QString::fromLatin1(w->metaObject()->className())},
                              {"text", textOf(w)},
                              {"visible", w->isVisible()},
                              {"enabled", w->isEnabled()},
                              {"geometry", rectJson(w)}};
                if (const auto* b = qobject_cast<const QAbstractButton*>(w); b && b->isCheckable())
                    o["checked"] = b->isChecked();
                widgets[w->objectName()] = o;
            }
            windows.append(QJsonObject{{"objectName", top->objectName()},
                                       {"title", top->windowTitle()},
                                       {"visible", top->isVisible()},
                                       {"modal", top->isModal()},
                                       {"geometry", rectJson(top)},
                                       {"texts", texts},
                                       {"buttons", buttons}});
        }
        const QJsonObject state{{"seq", static_cast<qint64>(seq_)},
                                {"focus", nameOf(QApplication::focusWidget())},
                                {"windows", windows},
                                {"widgets", widgets},
                                {"events", events_}};
        // Written aside and renamed, so a reader never sees half a file.
        QSaveFile file(path_);
        if (!file.open(QIODevice::WriteOnly))
            return;
        file.write(QJsonDocument(state).toJson(QJsonDocument::Compact));
        file.commit();
    }

    QString path_;
    QStringList watched_;
    QTimer heartbeat_;
    quint64 seq_ = 0;
    quint64 eventCount_ = 0;
    QJsonArray events_;
};

// Takes the settings and removes the probe from the environment, so that the
// processes the program starts (LibreOffice) run without it. The application
// object is still being built here: the probe starts once its event loop
// runs, when the window exists.
struct LoadTime {
    LoadTime()
    {
        static const QString path = qEnvironmentVariable("NUMBROOK_PROBE");
        static const QStringList watched = qEnvironmentVariable("NUMBROOK_PROBE_WATCH")
                                               .split(QLatin1Char(','), Qt::SkipEmptyParts);
        qunsetenv("NUMBROOK_PROBE");
        qunsetenv("NUMBROOK_PROBE_WATCH");
        QStringList preload =
            qEnvironmentVariable("LD_PRELOAD")
                .split(QRegularExpression(QStringLiteral("[ :]")), Qt::SkipEmptyParts);
        preload.removeIf(
            [](const QString& l) { return l.contains(QLatin1String("libnumbrook_probe")); });
        if (preload.isEmpty())
            qunsetenv("LD_PRELOAD");
        else
            qputenv("LD_PRELOAD", preload.join(QLatin1Char(' ')).toLocal8Bit());
        if (!path.isEmpty())
            qAddPreRoutine([] {
                QMetaObject::invokeMethod(
                    QCoreApplication::instance(),
                    [] { new Probe(path, watched, QCoreApplication::instance()); },
                    Qt::QueuedConnection);
            });
    }
};

const LoadTime loadTime;

}  // namespace

#include "probe.moc"
