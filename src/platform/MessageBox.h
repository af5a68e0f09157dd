#pragma once

#include <QString>

class QWidget;

// Every message the program shows goes through this interface, so tests can
// script the user's answer and record what was shown.
class MessageBox
{
public:
    enum class Icon { None, Information, Exclamation, Question, Critical };
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Answer { Ok, Cancel, Yes, No };

    virtual ~MessageBox() = default;

    // Shows a modal box and returns the button chosen; closing the box
    // without choosing answers Cancel (or No where there is no Cancel).
    virtual Answer show(const QString &text, Buttons buttons, Icon icon, const QString &title,
                        Answer defaultButton) = 0;

    // The program's usual failure warning: exclamation icon, one OK button.
    void warn(const QString &text, const QString &title);
    // An outcome message: information icon, one OK button.
    void inform(const QString &text, const QString &title);

    // Boxes shown while one lives belong to owner: closing one gives the
    // keyboard back to owner rather than to the program's main window.
    class OwnedBy
    {
    public:
        OwnedBy(MessageBox &box, QWidget *owner) : m_box(box), m_previous(box.m_owner)
        {
            box.m_owner = owner;
        }
        ~OwnedBy() { m_box.m_owner = m_previous; }
        OwnedBy(const OwnedBy &) = delete;
        OwnedBy &operator=(const OwnedBy &) = delete;

    private:
        MessageBox &m_box;
        QWidget *m_previous;
    };
    QWidget *owner() const { return m_owner; }

private:
    QWidget *m_owner = nullptr;
};

// The real boxes, with QMessageBox. Standard button texts come from Qt's
// French translation loaded at start.
class QtMessageBox final : public MessageBox
{
public:
    explicit QtMessageBox(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }

    Answer show(const QString &text, Buttons buttons, Icon icon, const QString &title,
                Answer defaultButton) override;

private:
    QWidget *m_parent;
};
