// ovntool-card --paper a4|letter --title NAME: the menu card as a PDF on
// standard output, from the 2409 bytes of a menu file on standard input.
// `ovntool card` reads and checks the file, runs this program and writes the
// PDF where it was asked to; nobody else needs to call it.
#include <QByteArray>
#include <QDate>
#include <QGuiApplication>
#include <QString>
#include <cstdio>
#include <cstring>
#include <string>

#include "card/MenuCard.h"
#include "model/MenuModel.h"

namespace {

// Qt's own notes (a missing runtime directory, ...) mean nothing to the user of
// `ovntool card`; only its real failures are passed on.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "ovntool-card: %s\n", qPrintable(message));
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "ovntool-card: %s\n", message.c_str());
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    card::Paper paper = card::Paper::A4;
    QString title;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        const std::string value = argv[i + 1];
        if (option == "--paper" && (value == "a4" || value == "letter")) {
            paper = value == "a4" ? card::Paper::A4 : card::Paper::Letter;
        } else if (option == "--title") {
            title = QString::fromUtf8(value);
        } else {
            return Fail("unknown argument '" + option + "' (it is run by 'ovntool card')");
        }
    }
    if (argc % 2 == 0) return Fail("an option without its value (it is run by 'ovntool card')");

    ovn::MenuImageBytes image{};
    const std::size_t got = std::fread(image.data(), 1, image.size(), stdin);
    if (got != image.size() || std::fgetc(stdin) != EOF) {
        return Fail("standard input is not the 2409 bytes of a menu");
    }

    // The card is drawn without a display: over SSH, in a cron job, in CI.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietQtMessages);
    int qtArgc = 1;
    QGuiApplication application(qtArgc, argv);
    const card::Card menuCard = card::MakeCard(image, title, QStringLiteral("ovntool"), QDate::currentDate());
    const QByteArray pdf = card::CardPdf(menuCard, paper);
    if (pdf.isEmpty()) return Fail("cannot draw the menu card");
    if (std::fwrite(pdf.constData(), 1, static_cast<std::size_t>(pdf.size()), stdout) !=
            static_cast<std::size_t>(pdf.size()) ||
        std::fflush(stdout) != 0) {
        return Fail(std::string("cannot write the card: ") + std::strerror(errno));
    }
    return 0;
}
