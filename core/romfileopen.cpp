#include "romfileopen.h"

#include "romfile.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace romfile::detail {

namespace wording {

QString openFailed(const QString& path, const QString& reason)
{
    return u"ファイル「%1」を開けませんでした。\n%2"_s.arg(QDir::toNativeSeparators(path), reason);
}

QString sourceUnusable(const QString& path, const QString& reason)
{
    return u"元のファイル「%1」を読み込めません: %2"_s.arg(QDir::toNativeSeparators(path), reason);
}

QString formChanged(ImageForm opened, ImageForm now)
{
    return u"開いたときは%1でしたが、いまは%2です。ほかのプログラムで変更された可能性があります"_s.arg(
        imageFormName(opened), imageFormName(now));
}

QString cannotRead(const QString& why)
{
    return u"読み込めません: %1"_s.arg(why);
}

QString endedEarly()
{
    return cannotRead(u"ファイルが途中で終わっています"_s);
}

QString badBlocks()
{
    return u"データブロックの大きさが正しくありません"_s;
}

namespace {

QString missing()
{
    return u"ファイルが見つかりません"_s;
}

QString notRegular()
{
    return u"通常のファイルではありません"_s;
}

QString tooShort(qint64 size, ImageForm form)
{
    // The form is named because its minimum depends on it, and it is decided by the size alone.
    return u"ファイルが短すぎます（%1 バイト。%2 バイト以上必要です）。形式: %3"_s.arg(size)
        .arg(minimumImageSize(form))
        .arg(imageFormName(form));
}

QString tooLarge(qint64 size, qint64 limit)
{
    return u"ファイルが大きすぎます（%1 バイト。%2 バイトまでです）"_s.arg(size).arg(limit);
}

} // namespace
} // namespace wording

namespace {

// Empty when the size fits the rule.
QString sizeProblem(qint64 size, SizeRule rule)
{
    if (rule.image && size < minimumImageSize(imageFormForSize(size)))
        return wording::tooShort(size, imageFormForSize(size));
    if (size > rule.limit)
        return wording::tooLarge(size, rule.limit);
    return {};
}

} // namespace

bool openChecked(const QString& path, bool makeWritable, QFile& file, qint64& size, QString& reason, SizeRule rule)
{
    // The type is checked by name first, so that no FIFO or device is ever opened in the normal case.
    const QFileInfo info(path);
    if (!info.exists()) {
        reason = wording::missing();
        return false;
    }
    if (!info.isFile()) {
        reason = wording::notRegular();
        return false;
    }
#ifdef Q_OS_WIN
    size = info.size();
    reason = sizeProblem(size, rule);
    if (!reason.isEmpty())
        return false;
    if (makeWritable && !info.permissions().testFlag(QFileDevice::WriteOwner))
        QFile::setPermissions(path, info.permissions() | QFileDevice::WriteOwner);
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly)) {
        reason = wording::cannotRead(file.errorString());
        return false;
    }
    // The file may have changed between the check and the open.
    size = file.size();
    reason = sizeProblem(size, rule);
    return reason.isEmpty();
#else
    // Non-blocking, so that a FIFO put in its place after the check still cannot hang the open;
    // the handle is then checked again, since it, not the name, is what gets read.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        reason = wording::cannotRead(qt_error_string(errno));
        return false;
    }
    struct stat st = {};
    if (::fstat(fd, &st) != 0) {
        reason = wording::cannotRead(qt_error_string(errno));
        ::close(fd);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        reason = wording::notRegular();
        ::close(fd);
        return false;
    }
    size = static_cast<qint64>(st.st_size);
    reason = sizeProblem(size, rule);
    if (!reason.isEmpty()) {
        ::close(fd);
        return false;
    }
    if (makeWritable && (st.st_mode & S_IWUSR) == 0)
        (void)::fchmod(fd, (st.st_mode & 07777) | S_IWUSR);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        reason = wording::cannotRead(file.errorString());
        ::close(fd);
        return false;
    }
    return true;
#endif
}

} // namespace romfile::detail

namespace romfile {

QString ImageSizeProblem(qint64 size)
{
    return detail::sizeProblem(size, detail::ImageRule);
}

} // namespace romfile
