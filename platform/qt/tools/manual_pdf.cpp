// Build-time tool: turns a manual written in Markdown into a PDF with Qt's own Markdown reader and PDF
// writer. Images are looked for beside the Markdown file and shrunk to the text width when wider.
//   orvex-manual-pdf MANUAL.md OUTPUT.pdf TITLE
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QList>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>

#include <cstdio>

namespace {

// Markdown images come in at their pixel size; a screenshot wider than the page would be cut off.
// Returns false when an image is missing.
bool fitImages(QTextDocument& document, qreal textWidth) {
    struct Image {
        int position, length;
        QTextImageFormat format;
    };
    QList<Image> images;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                images.append({it.fragment().position(), it.fragment().length(),
                               it.fragment().charFormat().toImageFormat()});
    bool complete = true;
    for (Image& i : images) {
        const QUrl url = document.baseUrl().resolved(QUrl(i.format.name()));
        const QImage image(url.toLocalFile());
        if (image.isNull()) {
            std::fprintf(stderr, "orvex-manual-pdf: missing image %s\n", qPrintable(url.toLocalFile()));
            complete = false;
            continue;
        }
        // print() lays out a copy of the document that keeps its resources but not its base URL: name the
        // image by its full path and hand it over.
        document.addResource(QTextDocument::ImageResource, url, image);
        i.format.setName(url.toString());
        const qreal width = std::min<qreal>(image.width(), textWidth);
        i.format.setWidth(width);
        i.format.setHeight(image.height() * width / image.width());
        QTextCursor cursor(&document);
        cursor.setPosition(i.position);
        cursor.setPosition(i.position + i.length, QTextCursor::KeepAnchor);
        cursor.setCharFormat(i.format);
    }
    return complete;
}

} // namespace

int main(int argc, char** argv) {
    // The image widths below are computed at the 96 dpi that print() scales from.
    QGuiApplication::setAttribute(Qt::AA_Use96Dpi);
    QGuiApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: orvex-manual-pdf MANUAL.md OUTPUT.pdf TITLE\n");
        return 2;
    }
    const QString input = QString::fromLocal8Bit(argv[1]), output = QString::fromLocal8Bit(argv[2]);
    QFile file(input);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "orvex-manual-pdf: cannot read %s\n", argv[1]);
        return 1;
    }

    QTextDocument document;
    document.setBaseUrl(QUrl::fromLocalFile(QFileInfo(input).absolutePath() + "/"));
    QFont font("DejaVu Sans", 10);
    document.setDefaultFont(font);
    document.setMarkdown(QString::fromUtf8(file.readAll()));

    QPdfWriter pdf(output);
    pdf.setTitle(QString::fromLocal8Bit(argv[3]));
    pdf.setCreator("Orvex");
    // Without margins of its own the page gets 2 mm, and print() adds 2 cm around the text and page numbers.
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    const qreal screenDpi = 96, pageInches = (210.0 - 4.0) / 25.4;
    const qreal textWidth = pageInches * screenDpi - 2 * int(2 / 2.54 * screenDpi);
    if (!fitImages(document, textWidth)) return 1;
    document.print(&pdf);
    if (!QFileInfo(output).exists()) {
        std::fprintf(stderr, "orvex-manual-pdf: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
