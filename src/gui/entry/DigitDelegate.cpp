#include "gui/entry/DigitDelegate.h"

#include "core/entry/EntryModel.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QPersistentModelIndex>
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
    auto* editor = new DigitEditor(parent);
    m_editor = editor;
    const QPersistentModelIndex cell(index);
    // Only what the user types moves on, not the text the editor opens with.
    connect(editor, &QLineEdit::textEdited, this, [this, editor, cell](const QString& text) {
        if (text.size() == 1 && cell.isValid())
            const_cast<DigitDelegate*>(this)->commitAndMove(editor, cell, text);
    });
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

void DigitDelegate::commitAndClose(DigitEditor* editor) {
    if (m_editor == editor)
        m_editor.clear();
    emit commitData(editor);
    emit closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void DigitDelegate::commitAndMove(DigitEditor* editor, const QModelIndex& index,
                                  const QString& typed) {
    auto* view = qobject_cast<QAbstractItemView*>(parent());
    const int row = index.row();
    const int column = index.column();
    const QAbstractItemModel* model = index.model();
    commitAndClose(editor);
    if (!view || !model)
        return;
    QModelIndex next;
    if (column < EntryModel::kLastDigitColumn)
        next = model->index(row, column + 1);
    else if (row + 1 < model->rowCount())
        next = model->index(row + 1, EntryModel::kFirstDigitColumn);
    // A refused digit leaves the cursor on its cell.
    if (next.isValid() && model->index(row, column).data(Qt::EditRole).toString() == typed) {
        view->setCurrentIndex(next);
        view->scrollTo(next);
    }
}

bool DigitDelegate::eventFilter(QObject* object, QEvent* event) {
    auto* editor = qobject_cast<DigitEditor*>(object);
    if (editor && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Left:
        case Qt::Key_Right:
            if (auto* view = qobject_cast<QAbstractItemView*>(parent())) {
                // Written as Tab would write it, then the table moves.
                commitAndClose(editor);
                QKeyEvent move(QEvent::KeyPress, key->key(), key->modifiers());
                QCoreApplication::sendEvent(view, &move);
                return true;
            }
            break;
        default:
            break;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
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
