#include "message_print.h"

#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

namespace tv::message_print {

QList<QPrinterInfo> machinePrinters() {
    return QPrinterInfo::availablePrinters();
}

std::unique_ptr<QTextDocument> selectionDocument(const QTextCursor& selection, const QFont& base) {
    auto doc = std::make_unique<QTextDocument>();
    doc->setDefaultFont(base);
    QTextCursor(doc.get()).insertFragment(selection.selection());
    return doc;
}

void print(const QTextDocument& doc, QPrinter* printer) {
    // Laying out for the page changes the document: print a copy, so the
    // editor's text keeps its own layout.
    std::unique_ptr<QTextDocument> copy(doc.clone());
    copy->print(printer);
}

QString printToPdf(const QTextDocument& doc, const QString& file) {
    // QPrinter does not report a file it cannot write; find out first.
    QFile probe(file);
    const bool existed = probe.exists();
    if (!probe.open(QIODevice::WriteOnly | QIODevice::Append))
        return QStringLiteral("The PDF file cannot be written: ") + probe.errorString();
    probe.close();
    if (!existed) probe.remove();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    print(doc, &printer);
    if (QFileInfo(file).size() == 0) return QStringLiteral("The PDF file could not be written.");
    return {};
}

} // namespace tv::message_print
