#pragma once

#include "base/number_format.h"
#include "reports/book_frame.h"
#include "reports/report_writer.h"
#include "short_circuit/short_circuit.h"

#include <QDate>
#include <QString>
#include <QStringList>

namespace korvane {

class Form;

inline constexpr const char* kShortCircuitBookTitle = "低压配电线路短路电流计算书";

// The texts of page 1 that the short-circuit book reads, as the controls show them; each is the
// field of the quantity of shortCircuitFields() named beside it.
struct ShortCircuitBookPage {
    QString systemCapacityMva;     // shortCircuit.systemCapacityMVA, Ss
    QString ukPercent;             // supply.transformer.impedanceVoltagePercent, Uk
    QString ratedKva;              // supply.transformer.ratedKVA, St
    QString loadLossKw;            // supply.transformer.loadLossKW, ΔP
    QString busbarResistance;      // supply.busbar.resistanceMilliOhmPerM, Rmm
    QString busbarReactance;       // supply.busbar.reactanceMilliOhmPerM, Xmm
    QString busbarLengthM;         // supply.busbar.lengthM, Lm
    QString lineResistance;        // shortCircuit.line.resistanceMilliOhmPerM, Ro
    QString lineReactance;         // shortCircuit.line.reactanceMilliOhmPerM, Xo
    QString lineLengthKm;          // shortCircuit.line.lengthKm, L
    QString busbarLoopResistance;  // supply.busbar.phaseProtectiveResistanceMilliOhmPerM
    QString busbarLoopReactance;   // supply.busbar.phaseProtectiveReactanceMilliOhmPerM
    QString lineLoopResistance;    // shortCircuit.line.phaseProtectiveResistanceMilliOhmPerM
    QString lineLoopReactance;     // shortCircuit.line.phaseProtectiveReactanceMilliOhmPerM
    QString lineNeutralResistance; // shortCircuit.line.phaseNeutralResistanceMilliOhmPerM, R'
    QString lineNeutralReactance;  // shortCircuit.line.phaseNeutralReactanceMilliOhmPerM, X'
};

ShortCircuitBookPage readShortCircuitBookPage(const Form& form);

// A value the book computes: the text it prints, empty when its computation failed, and then the
// reason why.
struct BookValue {
    QString text;
    bool computed = false;
    QString reason;
};

// The values of the book in the order they are computed: the steps of the page's impedance chain
// under the six-decimal policy, so that every value is computed from the printed figures of the
// values before it. Each value fails on its own; one that failed counts as zero in the values
// after it, as its missing paragraph would read. The line length is converted to metres first
// (general format), so that Rx and Xx agree with the line impedances of the page.
struct ShortCircuitBookValues {
    BookValue zs, xs, rs, rphps, xphps;
    BookValue zt, rt, xt;
    BookValue rm, xm;
    BookValue lineLengthM, rx, xx;
};

ShortCircuitBookValues
computeShortCircuitBookValues(const ShortCircuitBookPage& page,
                              const RegionalFormat& format = regionalFormat());

// The body: part 一 (system, transformer, busbar and line impedances, then the three-phase loop
// and currents) and part 二 (the phase-to-protective impedances of system and transformer, then
// those of busbar and line, the earth-fault current and the phase-to-neutral loop). A paragraph
// whose value could not be computed is left out; the loop and current paragraphs are written only
// when `chain` holds the page's computation.
QStringList shortCircuitBodyParagraphs(const ShortCircuitBookPage& page,
                                       const ShortCircuitBookValues& values,
                                       const Computed<ShortCircuitResult>& chain);

// The whole book on `writer`: open, compute, frame, body (exactly 18 pt). False when the document
// could not be opened and nothing was written.
bool writeShortCircuitBook(ReportWriter& writer, const ShortCircuitBookPage& page,
                           const Computed<ShortCircuitResult>& chain, const QDate& today,
                           const BookHeader& header = {});

} // namespace korvane
