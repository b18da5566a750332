#pragma once

#include "reports/book_frame.h"
#include "reports/report_writer.h"
#include "voltage_loss/voltage_loss.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <array>

namespace korvane {

class Form;

inline constexpr const char* kVoltageLossBookTitle = "电压损失计算书";

// A load field and its length field as the page shows them.
struct LoadTexts {
    QString load;
    QString length;
};

// The texts of page 0 that the voltage-loss book prints, taken verbatim from the fields the
// page's table names.
struct VoltageLossBookPage {
    QString lineKind;
    QString loadCase;
    QString lossType;
    QString cableType;
    QString crossSection; // mm²
    QString resistance;   // Ω/km
    QString reactance;    // Ω/km
    QString voltage;      // kV
    QString powerFactor;
    QString endCurrent;                       // A
    QString endLength;                        // km
    QString endPower;                         // kW
    QString endPowerLength;                   // km
    std::array<LoadTexts, 4> currentLoads;    // I1..I4 with L1..L4
    std::array<LoadTexts, 4> powerLoads;      // P1..P4 with L1..L4 of case (5)
    std::array<LoadTexts, 4> unityPowerLoads; // P1..P4 with L1..L4 of case (6)
};

VoltageLossBookPage readVoltageLossBookPage(const Form& form);

// The body from "【输入参数】：" to "【计算过程】：": the cable and line data, the load lines of
// the selected load case followed by one empty paragraph (none when no case matches), the heading.
QStringList voltageLossInputParagraphs(const VoltageLossBookPage& page);

// What follows the heading: the formula of the selected kind and case in words and symbols, the
// values put into it, Δu%, the verdict, and the longest line within 5 %, as the page computes
// them.
QStringList voltageLossComputationParagraphs(const VoltageLossInput& input,
                                             const VoltageLossResult& result);

// The whole book on `writer`: open, frame, body (exactly 20 pt), show. False when the document
// could not be opened and nothing was written.
bool writeVoltageLossBook(ReportWriter& writer, const VoltageLossBookPage& page,
                          const VoltageLossInput& input, const QDate& today,
                          const BookHeader& header = {});

} // namespace korvane
