#include "platform/qt/plan_window.h"

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QSvgRenderer>
#include <QSvgWidget>
#include <QVBoxLayout>

namespace orvex {

void showPlanWindow(Window& owner, const std::string& title, const std::string& svg) {
    QDialog window(dynamic_cast<QWidget*>(&owner));
    window.setWindowTitle(QString::fromStdString(title));
    auto* picture = new QSvgWidget;
    picture->load(QByteArray::fromStdString(svg));
    // At its own size: a day's plan is read by scrolling, not shrunk out of legibility.
    picture->setFixedSize(picture->renderer()->defaultSize());
    auto* area = new QScrollArea;
    area->setWidget(picture);
    area->setBackgroundRole(QPalette::Base);
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(area);
    const QSize room = QGuiApplication::primaryScreen()->availableGeometry().size() * 9 / 10;
    const QSize frame(area->frameWidth() * 2 + 2, area->frameWidth() * 2 + 2);
    window.resize((picture->size() + frame).boundedTo(room));
    window.exec();
}

} // namespace orvex
