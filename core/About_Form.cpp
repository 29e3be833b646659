#include "core/About_Form.h"

#include <QIcon>
#include <QVBoxLayout>

// The pictures are compiled into a static library, which registers them only
// when asked.
static void initResources() {
    Q_INIT_RESOURCE(app);
}

namespace tolvane {

TAbout_F::TAbout_F(QWidget* parent) : QDialog(parent) {
    initResources();
    setObjectName(QStringLiteral("About_F"));
    setWindowTitle(QStringLiteral("About"));
    // Closed by its system close box only.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    // The icon engine picks the @2x picture on a screen scaled to 200 %.
    const QIcon banner(QStringLiteral(":/tolvane/banner.png"));
    Image1->setPixmap(banner.pixmap(QSize(480, 160)));
    Image1->setAlignment(Qt::AlignCenter);

    Label1 = new QLabel(QStringLiteral("Tolvane Test Paper Generation System"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont f = Label1->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.3);
    Label1->setFont(f);
    Label2 = new QLabel(QStringLiteral("Version 1.0"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    for (QLabel* l : {Label1, Label2}) {
        l->setAlignment(Qt::AlignCenter);
        l->setTextInteractionFlags(Qt::NoTextInteraction);
    }
    // Its contents do not react to the mouse.
    for (QWidget* w : {static_cast<QWidget*>(Image1), static_cast<QWidget*>(Label1),
                       static_cast<QWidget*>(Label2)})
        w->setAttribute(Qt::WA_TransparentForMouseEvents);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 18);
    layout->setSpacing(10);
    layout->addWidget(Image1);
    layout->addSpacing(6);
    layout->addWidget(Label1);
    layout->addWidget(Label2);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace tolvane
