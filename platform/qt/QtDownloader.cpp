#include "platform/qt/QtDownloader.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace mushaf {

namespace {
QString PathText(const std::filesystem::path& p) { return QFile::decodeName(QByteArray::fromStdString(p.native())); }
}  // namespace

QtDownloader::QtDownloader(QObject* parent) : QObject(parent) {}

QtDownloader::~QtDownloader() {
    for (QNetworkReply* r : running_) {
        r->disconnect(this);
        r->abort();
    }
}

std::filesystem::path QtDownloader::PartOf(const QString& name) const {
    return into_ / ("." + name.toStdString() + ".part");
}

void QtDownloader::Start(const QUrl& base, const std::filesystem::path& into, const QStringList& names,
                         std::function<bool(const QByteArray&)> keep) {
    Cancel();
    if (!net_) net_ = new QNetworkAccessManager(this);
    base_ = base;
    into_ = into;
    keep_ = std::move(keep);
    progress_ = Progress{};
    progress_.total = static_cast<int>(names.size());
    std::error_code ec;
    std::filesystem::create_directories(into_, ec);
    for (const QString& name : names) {
        // what the folder has already is not fetched again
        if (std::filesystem::is_regular_file(into_ / name.toStdString(), ec)) ++progress_.done;
        else waiting_.push_back(name);
    }
    progress_.running = !waiting_.empty();
    clock_.start();
    Next();
    emit Changed();
    if (!progress_.running) emit Finished();
}

void QtDownloader::Next() {
    while (running_.size() < kAtOnce && !waiting_.empty()) {
        const QString name = waiting_.front();
        waiting_.pop_front();
        QUrl url = base_;
        url.setPath(url.path().endsWith('/') ? url.path() + name : url.path() + '/' + name);
        QNetworkRequest request(url);
        request.setTransferTimeout(kStillMs);
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
        // a file cut short goes on from where it stopped
        const qint64 had = QFile(PathText(PartOf(name))).size();
        if (had > 0) request.setRawHeader("Range", "bytes=" + QByteArray::number(had) + "-");
        QNetworkReply* reply = net_->get(request);
        reply->setProperty("name", name);
        reply->setProperty("had", had);
        running_.push_back(reply);
        connect(reply, &QNetworkReply::readyRead, this, [this, reply] { Got(reply); });
        connect(reply, &QNetworkReply::finished, this, [this, reply] { Ended(reply); });
    }
}

void QtDownloader::Got(QNetworkReply* reply) {
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status != 200 && status != 206) return;  // an error's page is not kept
    QFile part(PathText(PartOf(reply->property("name").toString())));
    // a server that sends the whole file again: from its start
    const bool fresh = status == 200 && !reply->property("begun").toBool();
    if (!part.open(fresh ? QIODevice::WriteOnly | QIODevice::Truncate : QIODevice::Append)) return reply->abort();
    reply->setProperty("begun", true);
    const QByteArray data = reply->readAll();
    part.write(data);
    progress_.bytes += data.size();
    emit Changed();
}

void QtDownloader::Ended(QNetworkReply* reply) {
    std::erase(running_, reply);
    reply->deleteLater();
    const QString name = reply->property("name").toString();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QString part = PathText(PartOf(name));
    if (reply->error() != QNetworkReply::NoError || (status != 200 && status != 206)) {
        // not there: nothing kept of it; cut short: kept, to go on from next time
        if (status >= 400) QFile::remove(part);
        Fail(name, status >= 400 ? QString::number(status) : reply->errorString());
    } else {
        Got(reply);
        QFile whole(part);
        const QByteArray head = whole.open(QIODevice::ReadOnly) ? whole.read(16) : QByteArray();
        whole.close();
        const QString final = PathText(into_ / name.toStdString());
        if (!keep_(head)) {
            QFile::remove(part);
            Fail(name, QStringLiteral("not audio"));
        } else if (QFile::remove(final), !QFile::rename(part, final)) {
            Fail(name, QStringLiteral("not written"));
        } else {
            ++progress_.done;
        }
    }
    const int finished = progress_.done + progress_.failed;
    const double spent = clock_.elapsed() / 1000.0;
    progress_.secondsLeft = finished > 0 ? spent / finished * (progress_.total - finished) : -1;
    Next();
    progress_.running = !running_.empty() || !waiting_.empty();
    emit Changed();
    if (!progress_.running) emit Finished();
}

void QtDownloader::Fail(const QString& name, const QString& why) {
    ++progress_.failed;
    progress_.failedNames << name + " (" + why + ")";
}

void QtDownloader::Cancel() {
    const bool was = progress_.running;
    for (QNetworkReply* r : running_) {
        r->disconnect(this);
        r->abort();
        r->deleteLater();
        QFile::remove(PathText(PartOf(r->property("name").toString())));
    }
    running_.clear();
    waiting_.clear();
    progress_.running = false;
    if (was) {
        emit Changed();
        emit Finished();
    }
}

}  // namespace mushaf
