#include "gui/entry/DigitDelegate.h"

#include <QKeyEvent>
#include <QRegularExpressionValidator>

using namespace Qt::StringLiterals;

namespace peridon {

DigitEditor::DigitEditor(QWidget* parent) : QLineEdit(parent) {
    setObjectName(u"digitEditor"_s);
    setAlignment(Qt::AlignCenter);
    setFrame(false);
    setValidator(new QRegularExpressionValidator(QRegularExpression(u"[0-9]?"_s), this));
}

bool DigitEditor::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() == Qt::ControlModifier &&
            (key->key() == Qt::Key_A || key->key() == Qt::Key_D)) {
            event->ignore();
            return true;
        }
    }
    return QLineEdit::event(event);
}

QWidget* DigitDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                     const QModelIndex& index) const {
    Q_UNUSED(option);
    Q_UNUSED(index);
    auto* editor = new DigitEditor(parent);
    m_editor = editor;
    return editor;
}

void DigitDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* line = static_cast<QLineEdit*>(editor);
    line->setText(index.data(Qt::EditRole).toString());
    line->selectAll(); // a typed digit replaces the one shown
}

void DigitDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                 const QModelIndex& index) const {
    model->setData(index, static_cast<QLineEdit*>(editor)->text(), Qt::EditRole);
}

void DigitDelegate::destroyEditor(QWidget* editor, const QModelIndex& index) const {
    if (m_editor == editor)
        m_editor.clear();
    QStyledItemDelegate::destroyEditor(editor, index);
}

void DigitDelegate::commitOpenEditor() {
    DigitEditor* editor = m_editor.data();
    if (!editor)
        return;
    m_editor.clear();
    emit commitData(editor);
    emit closeEditor(editor, QAbstractItemDelegate::NoHint);
}

} // namespace peridon
