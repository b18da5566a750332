#pragma once

#include "drawing/drawing.h"
#include "project/project_run.h"

#include <QDate>
#include <QString>

#include <vector>

namespace korvane {

// The distribution system diagram (配电系统图) of a computed project, as a Chinese design office
// hands it in beside the calculation book: the supply (HV system, transformer, LV busbar) at the
// top, one outgoing branch per circuit dropping from the busbar through its breaker QR with its
// residual-current release and its contactor QC, and under the branches a table of each
// circuit's figures. Symbols after GB/T 4728.7 (IEC 60617: circuit-breaker 07-13-05, contactor
// 07-13-02) and GB/T 4728.6 (transformer 06-09-01); A3 landscape sheets (GB/T 14689) with a
// binding margin and a title block (after GB/T 10609.1); text heights after GB/T 14691 and
// GB/T 18229 (3.5 mm for Chinese, 2.5 mm for letters and digits on A3).

// The texts of one circuit's column, as the diagram writes them. A figure the project has not
// got, or that was not computed, is "未计算" (never a stand-in).
struct DiagramColumn {
    QString id;          // 回路编号
    QString phases;      // 相别: "L1", "L1/L2/L3", "三相", "单相"
    QString breaker;     // QR: "MCB 32A 1P+N", "MCCB 100A 3P+N"
    QString residual;    // IΔn: "100mA"
    QString contactor;   // QC: "32A"
    QString cable;       // "VV-0.6/1kV-4×35"
    QString laying;      // 直埋, 穿管埋地, 桥架
    QString lengthM;     // 长度(m) of the result schema
    QString loadKw;      // installed power, kW
    QString currentA;    // Ib(A) of the result schema
    QString lossPercent; // Δu(%) of the result schema
    bool singlePhase = false;
};

// The column of one circuit from its result: the figures through the result schema (its
// decimals), so that the diagram and the schedule show the same numbers.
DiagramColumn diagramColumn(const Project& project, const ProjectCircuit& circuit,
                            const CircuitResult& result);

// The usual Chinese designation of a cable from its database names: the type's model, the
// voltage rating the loss type gives, cores × section: "VV-0.6/1kV-4×35" for "VV 四芯 铜芯" of
// "聚氯乙烯绝缘电力电缆(0.6/1kV)" at 35 mm²; parts the names do not give are left out ("LJ-35").
QString cableDesignation(const CableIdentity& cable);

// The cables of a circuit as its column writes them: a feeder's branches in cables of their own
// after its trunk, by their size alone where they are of the trunk's kind
// ("VV-0.6/1kV-4×50，支线 4×16、4×10").
QString circuitCableText(const ProjectCircuit& circuit);

// Circuits per sheet: 24 fit an A3 sheet legibly; more continue on further sheets.
inline constexpr int kCircuitsPerSheet = 24;

// The diagram of the run, dated `date` in its title block.
drawing::Drawing systemDiagram(const ProjectRun& run, const QDate& date);

} // namespace korvane
