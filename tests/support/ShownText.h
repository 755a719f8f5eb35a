#pragma once
// The text a label shows the operator. A label in Qt's automatic format takes a text whose first
// line holds something like an HTML tag for rich text and renders it: the tags vanish, "<script>"
// drops its content, "<img>" loads a file. For such a label this gives the rendered text, so that
// a test of data shown "as written" compares what is read, not what was handed over.
#include <QLabel>
#include <QString>
#include <QTextDocument>

inline QString shownText(const QLabel *label) {
    const bool rich = label->textFormat() == Qt::RichText ||
                      (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(label->text()));
    if (!rich)
        return label->text();
    QTextDocument document;
    document.setHtml(label->text());
    return document.toPlainText();
}
