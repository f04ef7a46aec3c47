#include "qt_text_prompt.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvan::wnd::qt {

std::optional<std::wstring> RunTextPrompt(QWidget* parent, const TextPrompt& prompt) {
    QDialog dialog(parent);
    dialog.setObjectName("textPrompt");
    dialog.setWindowTitle(QString::fromStdWString(prompt.title));
    auto* layout = new QVBoxLayout(&dialog);
    auto* label = new QLabel(QString::fromStdWString(prompt.label), &dialog);
    label->setWordWrap(true);
    layout->addWidget(label);
    auto* field = new QLineEdit(QString::fromStdWString(prompt.text), &dialog);
    field->setMinimumWidth(420);
    layout->addWidget(field);
    // Says what was wrong with the text on OK; hidden until then.
    auto* error = new QLabel(&dialog);
    error->setObjectName("error");
    error->setWordWrap(true);
    error->setStyleSheet("color: #b00020");
    error->hide();
    layout->addWidget(error);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    layout->addWidget(buttons);

    std::optional<std::wstring> taken;
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        const std::wstring text = field->text().toStdWString();
        const std::wstring refusal = prompt.check ? prompt.check(text) : std::wstring();
        if (!refusal.empty()) {
            error->setText(QString::fromStdWString(refusal));
            error->show();
            field->setFocus();
            return;
        }
        taken = text;
        dialog.accept();
    });
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    dialog.exec();
    return taken;
}

}  // namespace orvan::wnd::qt
