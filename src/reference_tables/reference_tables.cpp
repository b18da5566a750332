#include "reference_tables/reference_tables.h"

#include "handbook/handbook_tables.h"
#include "pages/short_circuit_fields.h"
#include "pages/verification_fields.h"

namespace korvane {

namespace {

const QString kImpedanceHeading = QStringLiteral("低压线路单位长度阻抗值");
const QString kSourceNote = QStringLiteral("本表根据《工业与民用配电设计手册》（第三版）编制");
const QString kImpedanceInstruction = QStringLiteral("     选择计算截面阻抗值");
const QString kImpedanceUnit = QStringLiteral("单位 mΩ/m");

QStringList row(std::initializer_list<const char*> texts) {
    QStringList list;
    for (const char* t : texts)
        list << QString::fromUtf8(t);
    return list;
}

QString spaces(int n) {
    return QString(n, u' ');
}

// A cross-section as the tables head their columns: "185", "2.5".
QString sectionText(double sectionMm2) {
    return QString::number(sectionMm2);
}

// A cell the dialog writes with another number of decimals than the rest of its row: a trailing
// zero more ("0.0760") or one fewer ("11.28").
struct Written {
    double sectionMm2;
    int decimals;
};

// The label cells of a row followed by the cross-sections that head the columns of `figures`.
QStringList sectionCells(QStringList labels, const SectionRow& figures) {
    for (const SectionFigure& f : figures.figures)
        labels << sectionText(f.sectionMm2);
    return labels;
}

// The label cells of a row followed by its figures with `decimals` decimals, except the cells
// listed in `written`; a blank cell of the handbook stays empty.
QStringList figureCells(QStringList labels, const SectionRow& figures, int decimals,
                        std::initializer_list<Written> written = {}) {
    for (const SectionFigure& f : figures.figures) {
        int places = decimals;
        for (const Written& w : written)
            if (w.sectionMm2 == f.sectionMm2)
                places = w.decimals;
        labels << (f.value ? QString::number(*f.value, 'f', places) : QString());
    }
    return labels;
}

// Conductor resistance R' at 20 °C, mΩ/m, aluminium and copper.
std::vector<QStringList> resistanceCells() {
    return {
        sectionCells(row({" S (mm2)"}), conductorResistance(ConductorMaterial::Copper)),
        figureCells(row({" 铝"}), conductorResistance(ConductorMaterial::Aluminium), 3, {{2.5, 2}}),
        figureCells(row({" 铜"}), conductorResistance(ConductorMaterial::Copper), 3)};
}

// Reactance X' of four-core cables, mΩ/m. The two dialogs carry the same figures written with
// the trailing zero in different places.
std::vector<QStringList> reactanceCells(bool phaseToNeutralTable) {
    const QStringList pvc = row({"全塑电缆(四  芯)", "全塑电缆(四  芯)"});
    const QStringList xlpe = row({"交联电缆(四等芯)", "交联电缆(四等芯)"});
    const SectionRow& pvcFigures = cableReactance(Insulation::Pvc);
    const SectionRow& xlpeFigures = cableReactance(Insulation::Xlpe);
    const QStringList header = sectionCells(row({" S (mm2)", " S (mm2)"}), pvcFigures);
    if (!phaseToNeutralTable)
        return {header, figureCells(pvc, pvcFigures, 3, {{150, 4}, {4, 4}}),
                figureCells(xlpe, xlpeFigures, 3, {{25, 4}})};
    return {header, figureCells(pvc, pvcFigures, 3, {{185, 4}, {120, 4}, {4, 4}}),
            figureCells(xlpe, xlpeFigures, 3, {{35, 4}})};
}

// R'php of 3+1-core cables: the phase sections, their protective cores and the loop resistance
// of each conductor material.
std::vector<QStringList> threePlusOneCells() {
    QStringList phase = row({"Sp=S(mm2)", "3x"});
    QStringList protective = row({"Sp=S(mm2)", "+1x"});
    QStringList aluminium = row({"铝", "铝"});
    QStringList copper = row({"铜", "铜"});
    auto figure = [](const std::optional<double>& value) {
        return value ? QString::number(*value, 'f', 3) : QString();
    };
    for (const ThreePlusOneLoop& loop : threePlusOneLoopResistance()) {
        phase << sectionText(loop.phaseMm2);
        protective << (loop.protectiveMm2 ? sectionText(*loop.protectiveMm2) : QString());
        aluminium << figure(loop.aluminium);
        copper << figure(loop.copper);
    }
    return {phase, protective, aluminium, copper};
}

// R'php = 1.5 (R'ph + R'p) of four-core cables (Sp = S), then of 3+1-core cables.
std::vector<QStringList> rphpCells() {
    const QStringList labels = row({" Sp=S (mm2) 4x", " Sp=S (mm2) 4x"});
    std::vector<QStringList> cells = {
        sectionCells(labels, fourCoreLoopResistance(ConductorMaterial::Copper)),
        figureCells(row({"铝", "铝"}), fourCoreLoopResistance(ConductorMaterial::Aluminium), 3),
        figureCells(row({"铜", "铜"}), fourCoreLoopResistance(ConductorMaterial::Copper), 3)};
    for (QStringList& r : threePlusOneCells())
        cells.push_back(std::move(r));
    return cells;
}

// X'php of all-plastic cables with a protective conductor of full and of half section.
std::vector<QStringList> xphpCells() {
    const SectionRow& full = allPlasticLoopReactance(ProtectiveSection::Full);
    const SectionRow& half = allPlasticLoopReactance(ProtectiveSection::Half);
    return {sectionCells(row({" S (mm2)", " S (mm2)", " S (mm2)"}), full),
            figureCells(row({"全塑电缆", "Sp=S (mm2)", "Sp=S (mm2)"}), full, 3, {{150, 4}, {6, 4}}),
            figureCells(row({"全塑电缆", "Sp=S/2 (mm2)", "Sp=S/2 (mm2)"}), half, 3, {{150, 4}})};
}

// K by conductor (rows) and insulation (three merged columns each).
std::vector<QStringList> kCells() {
    auto metalRow = [](const char* metal, ConductorMaterial material) {
        QStringList cells = row({metal});
        for (Insulation insulation : {Insulation::Pvc, Insulation::Xlpe}) {
            const auto k = thermalCoefficient(material, insulation);
            for (int i = 0; i < 3; ++i)
                cells << (k ? QString::number(*k, 'f', 0) : QString());
        }
        return cells;
    };
    return {row({"", "全塑电缆(PVC)", "全塑电缆(PVC)", "全塑电缆(PVC)", "交联电缆(XLPE)",
                 "交联电缆(XLPE)", "交联电缆(XLPE)"}),
            metalRow("铜", ConductorMaterial::Copper),
            metalRow("铝", ConductorMaterial::Aluminium)};
}

// Leakage per km by insulation; the grid is two columns wider than the table.
std::vector<QStringList> leakageCells() {
    const QStringList blankColumns = row({"", ""});
    return {sectionCells(row({"绝缘材料"}), leakagePerKm(Insulation::Pvc)) + blankColumns,
            figureCells(row({"全塑电缆"}), leakagePerKm(Insulation::Pvc), 0) + blankColumns,
            figureCells(row({"交联电缆"}), leakagePerKm(Insulation::Xlpe), 0) + blankColumns};
}

ReferenceTable impedanceTable(const char* form, const char* caption, QString title,
                              std::vector<QStringList> cells, std::vector<PickTarget> targets) {
    ReferenceTable t;
    t.form = QString::fromLatin1(form);
    t.caption = QString::fromUtf8(caption);
    t.titleLine = std::move(title);
    t.heading = kImpedanceHeading;
    t.sourceNote = kSourceNote;
    t.instruction = kImpedanceInstruction;
    t.unit = kImpedanceUnit;
    t.cells = std::move(cells);
    t.mergeRows = {0, 1, 2};
    t.mergeCols = {0, 1, 2};
    t.targets = std::move(targets);
    return t;
}

PickTarget shortCircuitField(std::string_view quantity) {
    return {&shortCircuitFields(), quantity};
}

PickTarget verificationField(std::string_view quantity) {
    return {&verificationFields(), quantity};
}

std::vector<ReferenceTable> buildTables() {
    std::vector<ReferenceTable> tables;

    // Phase-to-protective resistance R'php = 1.5 (R'ph + R'p) of four-core and 3+1-core cables.
    ReferenceTable rphp = impedanceTable(
        "Form2", "Rphp", QStringLiteral("R'php=1.5(R'php + R'p)\r\n"), rphpCells(),
        {shortCircuitField("shortCircuit.line.phaseProtectiveResistanceMilliOhmPerM"),
         verificationField("protection.line.phaseProtectiveResistanceOhmPerKm")});
    rphp.rowHeightTwips = 250;
    rphp.mergeRows = {0, 1, 2, 5, 6};
    rphp.mergeCols = {0, 1, 2, 5, 6};
    tables.push_back(rphp);

    // Phase-to-protective reactance of all-plastic cables, PE of full and of half cross-section.
    tables.push_back(impedanceTable(
        "Form3", "Xphp", QStringLiteral("X'php"), xphpCells(),
        {shortCircuitField("shortCircuit.line.phaseProtectiveReactanceMilliOhmPerM")}));

    const QString resistanceTitle =
        spaces(46) + QStringLiteral("R'(导线20℃时单位长度电阻值)") + spaces(32);
    const QString reactanceTitle = spaces(56) + QStringLiteral("X'");
    tables.push_back(
        impedanceTable("Form4", "R'", resistanceTitle, resistanceCells(),
                       {shortCircuitField("shortCircuit.line.resistanceMilliOhmPerM")}));
    tables.push_back(
        impedanceTable("Form5", "X'", reactanceTitle, reactanceCells(false),
                       {shortCircuitField("shortCircuit.line.reactanceMilliOhmPerM")}));
    tables.push_back(impedanceTable(
        "Form6", "R'", resistanceTitle, resistanceCells(),
        {shortCircuitField("shortCircuit.line.phaseNeutralResistanceMilliOhmPerM")}));
    tables.push_back(
        impedanceTable("Form7", "X'", reactanceTitle, reactanceCells(true),
                       {shortCircuitField("shortCircuit.line.phaseNeutralReactanceMilliOhmPerM")}));

    // Thermal-stability coefficient K of the conductor (GB 50054, IEC 60364-5-54).
    ReferenceTable k;
    k.form = QStringLiteral("Form10");
    k.caption = QStringLiteral("K");
    k.titleLine = spaces(22) + QStringLiteral("导体绝缘材料");
    k.heading = QStringLiteral("热稳定系数K值");
    k.sourceNote = kSourceNote;
    k.cells = kCells();
    k.alignment = CellAlignment::CenterTop;
    k.mergeRows = {0, 1, 2};
    k.mergeCols = {0, 1, 2};
    k.targets = {verificationField("protection.kFactor")};
    tables.push_back(k);

    // Leakage current per km of 220/380 V lines in conduit, by insulation and cross-section.
    ReferenceTable leakage;
    leakage.form = QStringLiteral("Form12");
    leakage.caption = QStringLiteral("截面S");
    leakage.titleLine = spaces(48) + QStringLiteral("截  面  (mm2)");
    leakage.heading = QStringLiteral("220/380V单相及三相线路埋地、沿墙敷设穿管电线每千米泄露电流");
    leakage.sourceNote = kSourceNote;
    leakage.instruction = QStringLiteral("选择泄露电流");
    leakage.unit = QStringLiteral("单位 mA/km");
    leakage.cells = leakageCells();
    leakage.mergeRows = {0, 1, 2};
    leakage.mergeCols = {0, 1, 2};
    leakage.targets = {verificationField("protection.line.leakageMAPerKm")};
    tables.push_back(leakage);

    return tables;
}

} // namespace

const std::vector<ReferenceTable>& referenceTables() {
    static const std::vector<ReferenceTable> tables = buildTables();
    return tables;
}

} // namespace korvane
