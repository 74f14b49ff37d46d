// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt_speaker.h"

#include <QLocale>
#include <QMetaObject>
#include <QObject>
#include <QTextToSpeech>
#include <QThread>
#include <QVoice>

#include <utility>

namespace numbrook {

namespace {

using State = QtSpeaker::State;

// On the speech thread: the engine, and a Mandarin voice of it.
State lookUp(QtSpeaker::Shared& shared)
{
    if (!QTextToSpeech::availableEngines().contains(QStringLiteral("speechd")))
        return State::Missing;
    auto* engine = new QTextToSpeech(QStringLiteral("speechd"));
    shared.engine = engine;
    if (engine->state() == QTextToSpeech::Error)
        return State::Missing;
    // A Chinese locale where the synthesizer names one; espeak-ng's Mandarin
    // ("cmn") has none that Qt knows, and is found by its voice's name.
    const QList<QLocale> locales = engine->availableLocales();
    for (const QLocale& locale : locales) {
        if (locale.language() == QLocale::Chinese) {
            engine->setLocale(locale);
            return State::Found;
        }
    }
    for (const QLocale& locale : locales) {
        engine->setLocale(locale);
        for (const QVoice& voice : engine->availableVoices()) {
            // Not a variant ("…+Alex"): the plain voice.
            if (voice.name().contains(QLatin1String("Mandarin")) && !voice.name().contains(u'+')) {
                engine->setVoice(voice);
                return State::Found;
            }
        }
    }
    return State::Missing;
}

}  // namespace

QtSpeaker::QtSpeaker() = default;

QtSpeaker::~QtSpeaker()
{
    if (!thread_)
        return;
    const bool looking = shared_->state == State::Looking;
    if (!looking && shared_->engine)
        QMetaObject::invokeMethod(shared_->engine, [engine = shared_->engine] { delete engine; });
    thread_->quit();
    // A look-up still under way is left to end with the program.
    if (!looking && thread_->wait(3000)) {
        delete thread_;
        delete shared_->home;
    }
}

void QtSpeaker::findVoice(std::function<void(bool found)> found)
{
    switch (shared_->state.load()) {
    case State::Found:
    case State::Missing:
        found(shared_->state == State::Found);
        return;
    case State::Looking:
        shared_->waiting.push_back(std::move(found));
        return;
    case State::NotAsked:
        break;
    }
    shared_->waiting.push_back(std::move(found));
    shared_->state = State::Looking;
    shared_->home = new QObject;
    thread_ = new QThread;
    thread_->setObjectName(QStringLiteral("speech"));
    auto* starter = new QObject;
    starter->moveToThread(thread_);
    thread_->start();
    QMetaObject::invokeMethod(starter, [starter, shared = shared_] {
        delete starter;
        const State state = lookUp(*shared);
        QMetaObject::invokeMethod(shared->home, [state, shared] {
            shared->state = state;
            const bool isFound = state == State::Found;
            for (const auto& call : std::exchange(shared->waiting, {}))
                call(isFound);
        });
    });
}

void QtSpeaker::say(const std::string& text)
{
    if (!available())
        return;
    QMetaObject::invokeMethod(shared_->engine,
                              [engine = shared_->engine, words = QString::fromStdString(text)] {
                                  engine->stop();
                                  engine->say(words);
                              });
}

}  // namespace numbrook
