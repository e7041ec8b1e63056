// SPDX-License-Identifier: BSD-3-Clause
// The main window's working data: every field, label and switch that operations read and write.
#pragma once

#include <array>
#include <memory>

#include <QObject>
#include <QString>
#include <QStringList>

#include "core/lattice.h"  // for LatticeType
#include "model/fields.h"

namespace saed::core {
class ReflectionRule;
}  // namespace saed::core

namespace saed::model {

class ResultTableModel;

// Labels and captions that operations write.
enum class Caption {
    Label5,        // measured-pattern summary
    Label22,       // row or pass count
    Label14,       // schematic plane of R3
    Label15,       // schematic plane of R2
    Label16,       // schematic plane of R1
    Label17,       // schematic zone axis
    Label1_47,     // calculator spacing d1
    Label1_48,     // calculator spacing d2
    Label1_49,     // calculator spacing d3
    Frame1,        // lattice panel caption
    Command6,      // "标定计算" button
    Command9,      // measure/move toggle
    Command13,     // "计算选中项" button
};
inline constexpr int kCaptionCount = 13;

// On/off states of the window that operations switch.
enum class Flag {
    LatticeLocked,    // Text6 (borderless) and Text1(0..5) disabled
    LatticeTextRed,   // Text6 and Text1(0..5) show red text (custom phase entered)
    Command3Enabled,  // zoom in
    Command7Enabled,  // zoom out
    Frame7Visible,    // library panel
    MultipleChoice,   // library selection mode "多选" (false: "单选")
    DoubleDiffraction,  // runs also let in forbidden planes reachable by double diffraction
};
inline constexpr int kFlagCount = 7;

class MainModel : public QObject {
    Q_OBJECT

public:
    static constexpr int kText1Count = 39;
    static constexpr int kSliderCount = 6;

    explicit MainModel(QObject* parent = nullptr);
    ~MainModel() override;

    // Text of the field Text1(n), n = 0..38.
    QString Text1(int n) const;
    // Sets Text1(n); emits text1Changed(n) once when the text differs.
    void setText1(int n, const QString& text);
    // The leading-number reading of Text1(n) (0 for empty or non-numeric text).
    double value(int n) const;
    // True when Text1(n) holds a number (an empty text does not).
    bool isNumeric(int n) const;
    // The same by the field's name.
    QString Text1(Field f) const { return Text1(fieldNumber(f)); }
    void setText1(Field f, const QString& text) { setText1(fieldNumber(f), text); }
    double value(Field f) const { return value(fieldNumber(f)); }
    bool isNumeric(Field f) const { return isNumeric(fieldNumber(f)); }

    QString Text6() const { return m_text6; }
    void setText6(const QString& text);

    QStringList Combo1Items() const { return m_combo1Items; }
    void setCombo1Items(const QStringList& items);
    // The chosen lattice type (its list position in Combo1Items), None when none is chosen.
    core::LatticeType Combo1() const { return m_combo1; }
    // Chooses `type`; a type beyond the list chooses none.
    void setCombo1(core::LatticeType type);

    // The space group of the phase in the lattice fields ("F d -3 m (227)"), empty for a phase
    // without one, and the rule that "按空间群" applies to it (none without a space group).
    QString spaceGroupText() const { return m_spaceGroupText; }
    std::shared_ptr<const core::ReflectionRule> spaceGroupRule() const { return m_spaceGroupRule; }
    // Sets both; emits spaceGroupChanged.
    void setSpaceGroup(const QString& text, std::shared_ptr<const core::ReflectionRule> rule);

    QString caption(Caption which) const;
    void setCaption(Caption which, const QString& text);

    bool flag(Flag which) const;
    void setFlag(Flag which, bool on);

    // Position 0..100 of Slider1..Slider6 (k = 1..6), as shown.
    int slider(int k) const;
    // Shows position p (clamped to 0..100) on slider k; this is not a user move and runs nothing.
    void setSlider(int k, int p);

    ResultTableModel* resultTable() const { return m_resultTable; }
    // The library tree and the phases behind it.

    // Path of the image file last chosen in the open dialog; empty until one was chosen.
    QString chosenFile() const { return m_chosenFile; }
    void setChosenFile(const QString& path) { m_chosenFile = path; }

    // The saved calibration the scale bar and the distortion come from, as the reports name it
    // (name, camera constant, distortion); empty when none is chosen.
    QString calibrationNote() const { return m_calibrationNote; }
    void setCalibrationNote(const QString& note) { m_calibrationNote = note; }

    // Shows a passing note in the window's status bar (for example the path of a written report).
    void showStatus(const QString& text) { emit statusMessage(text); }

    // Four indices on display: planes (h k i l) and directions [U V T W] wherever the window
    // shows a hexagonal cell's indices (a display setting only: files and reports keep three).
    bool fourIndex() const { return m_fourIndex; }
    // Sets it; emits fourIndexChanged once when it differs.
    void setFourIndex(bool on);

    // Asks the window to give Text1(n) the input focus with its whole text selected.
    void requestFocus(int n) { emit focusRequested(n); }
    void requestFocus(Field f) { requestFocus(fieldNumber(f)); }

signals:
    void text1Changed(int n);
    void text6Changed();
    void combo1Changed();
    void spaceGroupChanged();
    void captionChanged(saed::model::Caption which);
    void flagChanged(saed::model::Flag which);
    void sliderChanged(int k);
    void focusRequested(int n);
    void statusMessage(const QString& text);
    void fourIndexChanged(bool on);

private:
    std::array<QString, kText1Count> m_text1;
    QString m_text6;
    QStringList m_combo1Items;
    core::LatticeType m_combo1 = core::LatticeType::None;
    QString m_spaceGroupText;
    std::shared_ptr<const core::ReflectionRule> m_spaceGroupRule;
    std::array<QString, kCaptionCount> m_captions;
    std::array<bool, kFlagCount> m_flags{};
    std::array<int, kSliderCount> m_sliders{};
    ResultTableModel* m_resultTable;
    QString m_chosenFile;
    bool m_fourIndex = false;
    QString m_calibrationNote;
};

}  // namespace saed::model
