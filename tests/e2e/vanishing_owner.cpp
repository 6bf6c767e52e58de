// A clipboard owner that offers a large text and vanishes while it is being transferred: it
// starts serving the text, then ends its process a few milliseconds later without a word.
//
//   vanishing_owner MEGABYTES DELAY_MS

#include <unistd.h>

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {

class VanishingText : public QMimeData {
public:
    VanishingText(qsizetype bytes, int delayMs) : bytes_(bytes), delayMs_(delayMs) {}

    QStringList formats() const override { return {QStringLiteral("text/plain")}; }
    bool hasFormat(const QString& format) const override { return format == "text/plain"; }

protected:
    QVariant retrieveData(const QString& format, QMetaType) const override {
        if (format != "text/plain") return {};
        std::fprintf(stderr, "vanishing_owner: serving\n");
        QTimer::singleShot(delayMs_, [] { _exit(0); });
        QString text;
        text.reserve(bytes_);
        while (text.size() < bytes_) text += QStringLiteral("key\tvalue\r\n");
        return text;
    }

private:
    qsizetype bytes_;
    int delayMs_;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const qsizetype megabytes = argc > 1 ? std::atoi(argv[1]) : 50;
    const int delayMs = argc > 2 ? std::atoi(argv[2]) : 20;
    QGuiApplication::clipboard()->setMimeData(new VanishingText(megabytes << 20, delayMs));
    std::fprintf(stderr, "vanishing_owner: offering\n");
    return QApplication::exec();
}
