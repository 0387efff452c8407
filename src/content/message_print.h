#pragma once

#include <QList>
#include <QPrinterInfo>
#include <QString>
#include <memory>

class QFont;
class QPrinter;
class QTextCursor;
class QTextDocument;

// Printing a message: on a printer through the print dialog, or, on a machine
// without printers, into a PDF file the user names.
namespace tv::message_print {

// The machine's printers (none without a print server).
QList<QPrinterInfo> machinePrinters();

// The selected part of a document as a document of its own, in `base`.
std::unique_ptr<QTextDocument> selectionDocument(const QTextCursor& selection, const QFont& base);

// Prints the document as it is laid out for the printer's page.
void print(const QTextDocument& doc, QPrinter* printer);

// Writes the document as a PDF file; "" when written, else why not.
QString printToPdf(const QTextDocument& doc, const QString& file);

} // namespace tv::message_print
