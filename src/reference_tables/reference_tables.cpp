#include "reference_tables/reference_tables.h"

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

// Conductor resistance R' at 20 °C, mΩ/m, aluminium and copper.
std::vector<QStringList> resistanceCells() {
    return {row({" S (mm2)", "185", "150", "120", "95", "70", "50", "35", "25", "16", "10", "6",
                 "4", "2.5", "1.5"}),
            row({" 铝", "0.156", "0.192", "0.240", "0.303", "0.411", "0.575", "0.822", "1.151",
                 "1.798", "2.876", "4.700", "7.050", "11.28", ""}),
            row({" 铜", "0.095", "0.117", "0.146", "0.185", "0.251", "0.351", "0.501", "0.702",
                 "1.097", "1.754", "2.867", "4.300", "6.880", "11.467"})};
}

// Reactance X' of four-core cables, mΩ/m. The two dialogs carry the same figures written with
// the trailing zero in different places.
std::vector<QStringList> reactanceCells(bool phaseToNeutralTable) {
    QStringList header = row({" S (mm2)", " S (mm2)", "185", "150", "120", "95", "70", "50", "35",
                              "25", "16", "10", "6", "4"});
    if (!phaseToNeutralTable)
        return {header,
                row({"全塑电缆(四  芯)", "全塑电缆(四  芯)", "0.076", "0.0760", "0.076", "0.079",
                     "0.078", "0.079", "0.080", "0.082", "0.087", "0.094", "0.100", "0.1000"}),
                row({"交联电缆(四等芯)", "交联电缆(四等芯)", "", "0.077", "0.076", "0.077", "0.078",
                     "0.079", "0.080", "0.0800", "0.082", "0.085", "0.092", "0.097"})};
    return {header,
            row({"全塑电缆(四  芯)", "全塑电缆(四  芯)", "0.0760", "0.076", "0.0760", "0.079",
                 "0.078", "0.079", "0.080", "0.082", "0.087", "0.094", "0.100", "0.1000"}),
            row({"交联电缆(四等芯)", "交联电缆(四等芯)", "", "0.077", "0.076", "0.077", "0.078",
                 "0.079", "0.0800", "0.080", "0.082", "0.085", "0.092", "0.097"})};
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
        "Form2", "Rphp", QStringLiteral("R'php=1.5(R'php + R'p)\r\n"),
        {row({" Sp=S (mm2) 4x", " Sp=S (mm2) 4x", "185", "150", "120", "95", "70", "50", "35", "25",
              "16", "10", "6", "4", "2.5"}),
         row({"铝", "铝", "0.468", "0.576", "0.720", "0.909", "1.233", "1.725", "2.466", "3.453",
              "5.394", "8.628", "14.000", "21.150", "33.840"}),
         row({"铜", "铜", "0.285", "0.351", "0.438", "0.555", "0.753", "1.053", "1.503", "2.106",
              "3.291", "5.262", "8.601", "12.900", "20.640"}),
         row({"Sp=S(mm2)", "3x", "185", "150", "120", "95", "70", "50", "35", "25", "16", "10", "6",
              "4", "2.5"}),
         row({"Sp=S(mm2)", "+1x", "95", "70", "70", "50", "35", "25", "16", "16", "10", "6", "4",
              "2.5", ""}),
         row({"铝", "铝", "0.689", "0.905", "0.977", "1.317", "1.850", "2.589", "3.930", "4.424",
              "7.011", "11.364", "17.625", "27.495", ""}),
         row({"铜", "铜", "0.420", "0.552", "0.596", "0.804", "1.128", "1.580", "2.397", "2.699",
              "4.277", "6.932", "10.751", "16.770", ""})},
        {shortCircuitField("shortCircuit.line.phaseProtectiveResistanceMilliOhmPerM"),
         verificationField("protection.line.phaseProtectiveResistanceOhmPerKm")});
    rphp.rowHeightTwips = 250;
    rphp.mergeRows = {0, 1, 2, 5, 6};
    rphp.mergeCols = {0, 1, 2, 5, 6};
    tables.push_back(rphp);

    // Phase-to-protective reactance of all-plastic cables, PE of full and of half cross-section.
    tables.push_back(impedanceTable(
        "Form3", "Xphp", QStringLiteral("X'php"),
        {row({" S (mm2)", " S (mm2)", " S (mm2)", "185", "150", "120", "95", "70", "50", "35", "25",
              "16", "10", "6", "4"}),
         row({"全塑电缆", "Sp=S (mm2)", "Sp=S (mm2)", "0.152", "0.1520", "0.152", "0.158", "0.156",
              "0.158", "0.160", "0.164", "0.174", "0.188", "0.2000", "0.200"}),
         row({"全塑电缆", "Sp=S/2 (mm2)", "Sp=S/2 (mm2)", "0.179", "0.1610", "0.161", "0.186",
              "0.178", "0.187", "0.191", "0.192", "0.201", "0.224", "0.211", "0.234"})},
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
    k.cells = {row({"", "全塑电缆(PVC)", "全塑电缆(PVC)", "全塑电缆(PVC)", "交联电缆(XLPE)",
                    "交联电缆(XLPE)", "交联电缆(XLPE)"}),
               row({"铜", "115", "115", "115", "143", "143", "143"}),
               row({"铝", "76", "76", "76", "94", "94", "94"})};
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
    leakage.cells = {row({"绝缘材料", "4", "6", "10", "16", "25", "35", "50", "70", "95", "120",
                          "150", "185", "", ""}),
                     row({"全塑电缆", "52", "52", "56", "62", "70", "70", "79", "89", "99", "109",
                          "112", "116", "", ""}),
                     row({"交联电缆", "17", "20", "25", "26", "29", "33", "33", "33", "33", "38",
                          "38", "38", "", ""})};
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
