#include "document/journal_format.h"

#include <QDataStream>
#include <QtEndian>

#include <zlib.h>

namespace vellumo {

namespace {

enum RecordKind : char {
    BaseRecord = 'B',  // what the page starts from
    EditRecord = 'E',  // one change: position, characters removed, text put there
    CleanRecord = 'C', // the page is back to its saved state (undone, or never really changed)
};

constexpr QDataStream::Version StreamVersion = QDataStream::Qt_6_0;

quint32 crcOf(const QByteArray &payload) {
    return static_cast<quint32>(crc32(0, reinterpret_cast<const Bytef *>(payload.constData()),
                                      static_cast<uInt>(payload.size())));
}

QByteArray frame(const QByteArray &payload) {
    QByteArray out(4, Qt::Uninitialized);
    qToLittleEndian<quint32>(static_cast<quint32>(payload.size()), out.data());
    out += payload;
    char tail[4];
    qToLittleEndian<quint32>(crcOf(payload), tail);
    out.append(tail, 4);
    return out;
}

} // namespace

QByteArray baseRecord(const JournalBaseRecord &base) {
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    out.setVersion(StreamVersion);
    out << qint8(BaseRecord) << base.fileName << qint32(base.format.encoding)
        << base.format.byteOrderMark << qint32(base.format.lineBreaks) << base.fromFile
        << base.fileHash << base.textHash << base.snapshot << base.lineBreakKinds << base.time
        << base.changeFrom << base.changeRemoved << base.changeAdded << base.format.declaredLabel;
    return frame(payload);
}

QByteArray editRecord(qint64 time, qint64 from, qint64 removed, const QString &added) {
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    out.setVersion(StreamVersion);
    out << qint8(EditRecord) << time << from << removed << added;
    return frame(payload);
}

QByteArray cleanRecord(qint64 time) {
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    out.setVersion(StreamVersion);
    out << qint8(CleanRecord) << time;
    return frame(payload);
}

bool readRecords(const QByteArray &bytes, JournalBaseRecord &base, QList<JournalEdit> &edits,
                 qint64 &cleanAfter) {
    if (!bytes.startsWith(JournalMagic))
        return false;
    bool haveBase = false;
    qsizetype at = JournalMagic.size();
    while (bytes.size() - at >= 8) {
        const quint32 length = qFromLittleEndian<quint32>(bytes.constData() + at);
        if (length > quint32(bytes.size() - at - 8))
            break;
        const QByteArray payload = bytes.mid(at + 4, length);
        const quint32 crc = qFromLittleEndian<quint32>(bytes.constData() + at + 4 + length);
        if (crc != crcOf(payload))
            break;
        at += 8 + length;
        QDataStream in(payload);
        in.setVersion(StreamVersion);
        qint8 kind = 0;
        in >> kind;
        if (kind == BaseRecord && !haveBase) {
            qint32 encoding = 0;
            qint32 lineBreaks = 0;
            in >> base.fileName >> encoding >> base.format.byteOrderMark >> lineBreaks >>
                base.fromFile >> base.fileHash >> base.textHash >> base.snapshot >>
                base.lineBreakKinds >> base.time >> base.changeFrom >> base.changeRemoved >>
                base.changeAdded;
            // Journals written before the declared label was kept end here.
            if (!in.atEnd())
                in >> base.format.declaredLabel;
            // 4 was ISO-8859-1, which is read as windows-1252 now.
            constexpr qint32 FormerLatin1 = 4;
            if (encoding == FormerLatin1) {
                encoding = qint32(TextEncoding::Windows1252);
                if (base.format.declaredLabel.isEmpty())
                    base.format.declaredLabel = "ISO-8859-1";
            }
            if (!allEncodings().contains(static_cast<TextEncoding>(encoding)) || lineBreaks < 0 ||
                lineBreaks > int(LineBreakStyle::CR))
                return false;
            base.format.encoding = static_cast<TextEncoding>(encoding);
            base.format.lineBreaks = static_cast<LineBreakStyle>(lineBreaks);
            haveBase = true;
        } else if (kind == EditRecord && haveBase) {
            JournalEdit edit;
            in >> edit.time >> edit.from >> edit.removed >> edit.added;
            edits.append(std::move(edit));
        } else if (kind == CleanRecord && haveBase) {
            qint64 time = 0;
            in >> time;
            cleanAfter = edits.size();
        } else {
            return false;
        }
        if (in.status() != QDataStream::Ok)
            return false;
    }
    return haveBase;
}

} // namespace vellumo
