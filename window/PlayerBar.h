#pragma once
// The player bar: while a recitation is on (playing or paused), a bar over
// the foot of the page pane with play or pause, stop, the reciter, the ayah
// that sounds, the repeats left and the speed. With none on it is hidden.
#include <QFrame>
#include <QString>

class QLabel;
class QToolButton;

namespace mushaf {

class cQ114;
class KeptChoices;
class RecitationPart;

class PlayerBar : public QFrame {
    Q_OBJECT
public:
    // Stands in `pane`, over its foot, and follows `recitation`.
    PlayerBar(RecitationPart& recitation, const cQ114& model, const KeptChoices& choices, QWidget* pane);

    // What it shows.
    struct Shown {
        bool visible = false, playing = false;
        QString reciter, ayah, repeat, speed;
    };
    Shown Now() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Update();
    void Place();
    QString AyahText(int16_t line) const;
    QString RepeatText() const;

    RecitationPart& recitation_;
    const cQ114& Q114;
    const KeptChoices& choices_;
    QToolButton* playPause_;
    QToolButton* stop_;
    QLabel *reciter_, *ayah_, *repeat_, *speed_;
};

}  // namespace mushaf
