#pragma once
// The reader's kept choices in the window: read once at start-up, and kept
// each time they change. What one event changes is written as one write; a
// change from reading alone (the history, the pages read) is written within
// a second, with whatever else changed in that second. A settings file that
// cannot be read or written is said once.
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

#include "window/ReaderChoices.h"

class QTimer;

namespace mushaf {

class KeptChoices : public QObject {
    Q_OBJECT
public:
    explicit KeptChoices(Settings& settings, QObject* parent = nullptr);

    // Reads what is kept, every value checked: lines lie in
    // firstLine..lastLine, at most maxCards note cards.
    void Load(int16_t firstLine, int16_t lastLine, std::size_t maxCards);
    const ReaderChoices& Get() const { return choices_; }
    const ReaderChoices* operator->() const { return &choices_; }
    // The store's checks, for what the parts take in (note cards).
    const ChoiceStore& Store() const { return *store_; }

    // One event's change, kept at once in one write.
    void Change(const std::function<void(ReaderChoices&)>& edit);
    // A change from reading alone, kept within a second.
    void ChangeSoon(const std::function<void(ReaderChoices&)>& edit);
    // What waits for its second, kept now.
    void Flush();

    // What went wrong with the settings file, in Persian; empty when nothing has.
    QString TroubleText() const;

signals:
    // The choices changed (the menu's check marks follow).
    void Changed();
    // The settings file could not be read or written: said once.
    void Troubled(const QString& text);

private:
    void Keep();
    void SayTrouble();

    Settings& settings_;
    std::optional<ChoiceStore> store_;
    ReaderChoices choices_;
    QTimer* soon_ = nullptr;
    bool troubleSaid_ = false;
};

}  // namespace mushaf
