#pragma once
// Files fetched over HTTP into a folder, a few at a time: each written under
// a temporary name and renamed once whole and checked; what the folder has
// already is not fetched again, and a file cut short goes on from where it
// stopped. Never blocks: it runs on the event loop.
#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <QUrl>
#include <deque>
#include <filesystem>
#include <functional>

class QNetworkAccessManager;
class QNetworkReply;

namespace mushaf {

class QtDownloader : public QObject {
    Q_OBJECT
public:
    explicit QtDownloader(QObject* parent = nullptr);
    ~QtDownloader() override;

    // `names` from `base` (base + "/" + name) into `into`; `keep` says whether
    // what came is what was wanted (its first bytes).
    void Start(const QUrl& base, const std::filesystem::path& into, const QStringList& names,
               std::function<bool(const QByteArray& head)> keep);
    // Stops what runs and takes away what it had half-written.
    void Cancel();

    struct Progress {
        bool running = false;
        int total = 0, done = 0, failed = 0;
        qint64 bytes = 0;           // fetched in this run
        QStringList failedNames;    // with why, "001004.mp3 (404)"
        double secondsLeft = -1;    // unknown until a file has come
    };
    const Progress& Now() const { return progress_; }

    static constexpr int kAtOnce = 4;
    static constexpr int kStillMs = 15000;  // a file that sends nothing this long fails

signals:
    void Changed();
    void Finished();

private:
    struct Running;
    void Next();
    void Got(QNetworkReply* reply);
    void Ended(QNetworkReply* reply);
    void Fail(const QString& name, const QString& why);
    std::filesystem::path PartOf(const QString& name) const;

    QNetworkAccessManager* net_ = nullptr;
    QUrl base_;
    std::filesystem::path into_;
    std::function<bool(const QByteArray&)> keep_;
    std::deque<QString> waiting_;
    std::vector<QNetworkReply*> running_;
    Progress progress_;
    QElapsedTimer clock_;
};

}  // namespace mushaf
