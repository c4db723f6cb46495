#pragma once

#include <QLineEdit>
#include <QPointer>
#include <QStyledItemDelegate>

namespace peridon {

// The editor of a digit cell: accepts one character 0-9 or nothing. Typed or
// pasted text that would make anything else is refused as it is entered.
// Ctrl+A and Ctrl+D are left to the window's menu (add and delete a line).
class DigitEditor final : public QLineEdit {
    Q_OBJECT
public:
    explicit DigitEditor(QWidget* parent = nullptr);

protected:
    bool event(QEvent* event) override;
};

// Edits the digit cells of the entry table with a DigitEditor and hands the
// text to the model, which writes it or refuses it. A typed digit is written
// at once and the cursor goes on to the next digit cell (the first digit of
// the next row after the third), so "123" types a whole draw; the arrow
// keys write what the editor holds, as Tab does, and then move.
class DigitDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
    void destroyEditor(QWidget* editor, const QModelIndex& index) const override;

    // Commits and closes the editor that is open, if any (before a menu
    // command or closing the window acts on the table).
    void commitOpenEditor();

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    void commitAndMove(DigitEditor* editor, const QModelIndex& index, const QString& typed);
    void commitAndClose(DigitEditor* editor);

    mutable QPointer<DigitEditor> m_editor;
};

} // namespace peridon
