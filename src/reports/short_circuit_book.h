#pragma once

#include "form/number_format.h"
#include "reports/book_frame.h"
#include "reports/report_writer.h"
#include "short_circuit/short_circuit.h"

#include <QDate>
#include <QString>
#include <QStringList>

namespace korvane {

class Form;

inline constexpr const char* kShortCircuitBookTitle = "低压配电线路短路电流计算书";

// The texts of page 1 that the short-circuit book reads, as the controls show them.
struct ShortCircuitBookPage {
    QString systemCapacityMva;     // Combo18, Ss
    QString ukPercent;             // Text55, Uk
    QString ratedKva;              // Text57, St
    QString loadLossKw;            // Text56, ΔP
    QString busbarResistance;      // Text58, Rmm, mΩ/m
    QString busbarReactance;       // Text59, Xmm, mΩ/m
    QString busbarLengthM;         // Text62, Lm
    QString lineResistance;        // Text40, Ro, mΩ/m
    QString lineReactance;         // Text41, Xo, mΩ/m
    QString lineLengthKm;          // Text48, L
    QString busbarLoopResistance;  // Text60, mΩ/m
    QString busbarLoopReactance;   // Text61, mΩ/m
    QString lineLoopResistance;    // Text46, mΩ/m
    QString lineLoopReactance;     // Text47, mΩ/m
    QString lineNeutralResistance; // Text49, R', mΩ/m
    QString lineNeutralReactance;  // Text50, X', mΩ/m
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
