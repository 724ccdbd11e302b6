#include "load_path.h"
#include "test_main.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRandomGenerator>

using namespace vellumo;

namespace {

// Bytes that tend to find trouble: breaks of every kind, marks, NUL, bytes that
// are invalid UTF-8, the editor's own separators in UTF-8, a declaration.
const QByteArray Pieces[] = {
    "\n",
    "\r",
    "\r\n",
    "\n\r",
    "\xEF\xBB\xBF",
    "\xFF\xFE",
    "\xFE\xFF",
    QByteArray("\0", 1),
    "\xC3",
    "\xA9",
    "\x80",
    "\x9D",
    "\xE2\x80\xA8",
    "\xE2\x80\xA9",
    "\xEF\xB7\x90",
    "\xEF\xB7\x91",
    "\xEF\xBF\xBC",
    "\xED\xA0\x80",
    "\xF0\x9F\x98\x80",
    "\xC2\xA0",
    "<p>",
    "&nbsp;",
    "<meta charset=\"iso-8859-1\">",
    "<meta charset=utf-8>",
    "[Orvanel]",
    "Tip1=",
    "\"",
    ";",
    "\x89PNG\r\n\x1A\n",
    "\t",
    " ",
};

QByteArray randomBytes(QRandomGenerator &random) {
    QByteArray bytes;
    const int parts = random.bounded(40);
    for (int i = 0; i < parts; ++i) {
        if (random.bounded(3) == 0) {
            const int n = random.bounded(1, 8);
            for (int j = 0; j < n; ++j)
                bytes.append(static_cast<char>(random.bounded(256)));
        } else {
            bytes.append(Pieces[random.bounded(int(std::size(Pieces)))]);
        }
    }
    // Some inputs as UTF-16 with a mark and an even length.
    if (random.bounded(8) == 0) {
        if (bytes.size() % 2 != 0)
            bytes.append('x');
        bytes.prepend(random.bounded(2) == 0 ? "\xFF\xFE" : "\xFE\xFF");
    }
    return bytes;
}

} // namespace

class TestLoadFuzz : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Ten thousand random files, the same ones on every run: none may crash the
    // load path, and every one must come back byte for byte from the editor.
    void randomFilesRoundTrip() {
        QPlainTextEdit editor;
        QRandomGenerator random(20240611);
        for (int i = 0; i < 10000; ++i) {
            const QByteArray bytes = randomBytes(random);
            const QString fault = runLoadPath(editor, bytes);
            QVERIFY2(fault.isEmpty(),
                     qPrintable(QStringLiteral("case %1: %2: %3")
                                    .arg(i)
                                    .arg(fault, QString::fromLatin1(bytes.toHex(' ')))));
        }
    }

    // What the long fuzzing runs found, kept so that it stays fixed.
    void keptFindings() {
        QPlainTextEdit editor;
        int files = 0;
        for (const char *folder : {"crashers", "corpus"}) {
            QDirIterator it(QStringLiteral(VELLUMO_FUZZ_DIR "/") + QLatin1String(folder),
                            QDir::Files);
            while (it.hasNext()) {
                QFile file(it.next());
                QVERIFY(file.open(QIODevice::ReadOnly));
                const QString fault = runLoadPath(editor, file.readAll());
                QVERIFY2(fault.isEmpty(),
                         qPrintable(file.fileName() + QStringLiteral(": ") + fault));
                ++files;
            }
        }
        QVERIFY(files > 0);
    }
};

VELLUMO_TEST_MAIN(TestLoadFuzz)
#include "tst_load_fuzz.moc"
