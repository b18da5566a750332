-- Cable and conductor database of Korvane (table AAA).
--
-- Built with:  sqlite3 Database/JhxlDlxlss.db < data/cable_database.sql
--
-- The program fills three cascading lists from this table: 损失类型 (loss type), then 导线类型
-- (cable type), then 导线截面 (cross-section, mm², kept as text), each in insertion order. Rows are
-- therefore grouped by loss type, then by cable type, with cross-sections ascending.
-- 电阻 = resistance per phase conductor, Ω/km; 电抗 = reactance per phase, Ω/km, 50 Hz.
--
-- Sources of the figures
--   R20  DC resistance of class 2 stranded conductors at 20 °C: IEC 60228 (identical national
--        standard GB/T 3956), plain copper and aluminium.
--   LJ   Bare hard-drawn aluminium stranded conductors: R20 from GB/T 1179.
--   Rt   Working-temperature resistance, derived: Rt = R20 · (1 + α (t − 20)),
--        α = 0.00393 /K for copper, 0.00403 /K for aluminium;
--        t = 70 °C for PVC insulation (VV, VLV, BV) and for bare overhead conductors (LJ),
--        t = 90 °C for XLPE insulation (YJV, YJLV, JKLYJ).
--        Results rounded to three or four significant figures.
--   X    Four-core PVC cables (VV/VLV): a cable maker's 0.6/1 kV catalogue (unarmoured four-core,
--        50 Hz), 0.110 Ω/km at 1.5 mm² down to 0.074 Ω/km at 240 mm².
--        Four-core XLPE cables (YJV/YJLV), 25–240 mm²: BS 7671 Appendix 4, table 4E4B, three-phase
--        voltage drop reactance (mV/A/m) divided by √3; 2.5–16 mm² as the maker's catalogue above.
--        Overhead lines, derived: X = 0.0628 · ln(Dm / GMR) Ω/km, Dm the geometric mean spacing of
--        the phase conductors, GMR = 0.726 r (7 strands) or 0.758 r (19 strands), r the conductor
--        radius. LJ at Dm = 0.6 m and 0.8 m; JKLYJ at Dm = 0.4 m (crossarm) and as a twisted bundle
--        (Dm from the insulated core diameter).
--        BV single-core wires in one conduit, derived from the wire diameters with the formula
--        above; agrees with a drive maker's manual (0.12 / 0.10 / 0.09 Ω/km for small / 14 / 50 mm²).
--
-- Resistance convention per loss type
--   聚氯乙烯绝缘电力电缆(0.6/1kV)   R at 20 °C (IEC 60228 values as tabulated);
--                                   X rounded to 0.01 Ω/km (0.075 and 0.085 rounded up).
--                                   The temperature correction is left to the calculation.
--   交联聚乙烯绝缘电力电缆(0.6/1kV) R at 90 °C (derived)
--   架空线路                        R at 70 °C (derived from GB/T 1179 R20)
--   架空绝缘线路                    R at 90 °C (derived; aluminium conductor R20 as IEC 60228)
--   穿管绝缘导线                    R at 70 °C (derived)
--
-- Aluminium products start at 10 mm² (cables) or 16 mm² (overhead conductors).

BEGIN TRANSACTION;

CREATE TABLE AAA (
    损失类型 TEXT,
    导线类型 TEXT,
    导线截面 TEXT,
    电阻 REAL,
    电抗 REAL
);

-- ======================================================================
-- 聚氯乙烯绝缘电力电缆(0.6/1kV)

-- VV 四芯 铜芯: R: IEC 60228 class 2 at 20 °C; X: maker catalogue, rounded to 0.01
INSERT INTO AAA (损失类型, 导线类型, 导线截面, 电阻, 电抗) VALUES
    ('聚氯乙烯绝缘电力电缆(0.6/1kV)', 'VV 四芯 铜芯', '2.5', 7.41, 0.10),
    ('聚氯乙烯绝缘电力电缆(0.6/1kV)', 'VV 四芯 铜芯', '4', 4.61, 0.10),
    ('聚氯乙烯绝缘电力电缆(0.6/1kV)', 'VV 四芯 铜芯', '6', 3.08, 0.10),
    ('聚氯乙烯绝缘电力电缆(0.6/1kV)', 'VV 四芯 铜芯', '10', 1.83, 0.09),
    ('聚氯乙烯绝缘电力电缆(0.6/1kV)', 'VV 四芯 铜芯', '16', 1.15, 0.09),
    ('聚氯乙烯绝缘电力电缆(0.6/1kV)', 'VV 四芯 铜芯', '25', 0.727, 0.09),
    ('聚氯乙烯绝缘电力电缆(0.6/1kV)', 'VV 四芯 铜芯', '35', 0.524, 0.08),
    ('聚氯乙烯绝缘电力电缆(0.6/1kV)', 'VV 四芯 铜芯', '50', 0.387, 0.08),
    ('聚氯乙烯绝缘电力电缆(0.6/1kV)', 'VV 四芯 铜芯', '70', 0.268, 0.08),
    ('聚氯乙烯绝缘电力电缆(0.6/1kV)', 'VV 四芯 铜芯', '95', 0.193, 0.08),
    ('聚氯乙烯绝缘电力电缆(0.6/1kV)', 'VV 四芯 铜芯', '120', 0.153, 0.08),
    ('聚氯乙烯绝缘电力电缆(0.6/1kV)', 'VV 四芯 铜芯', '150', 0.124, 0.08),
    ('聚氯乙烯绝缘电力电缆(0.6/1kV)', 'VV 四芯 铜芯', '185', 0.0991, 0.07),
    ('聚氯乙烯绝缘电力电缆(0.6/1kV)', 'VV 四芯 铜芯', '240', 0.0754, 0.07);

-- VLV 四芯 铝芯: R: IEC 60228 class 2 at 20 °C; X: maker catalogue, rounded to 0.01
INSERT INTO AAA (损失类型, 导线类型, 导线截面, 电阻, 电抗) VALUES
    ('聚氯乙烯绝缘电力电缆(0.6/1kV)', 'VLV 四芯 铝芯', '10', 3.08, 0.09),
    ('聚氯乙烯绝缘电力电缆(0.6/1kV)', 'VLV 四芯 铝芯', '16', 1.91, 0.09),
    ('聚氯乙烯绝缘电力电缆(0.6/1kV)', 'VLV 四芯 铝芯', '25', 1.20, 0.09),
    ('聚氯乙烯绝缘电力电缆(0.6/1kV)', 'VLV 四芯 铝芯', '35', 0.868, 0.08),
    ('聚氯乙烯绝缘电力电缆(0.6/1kV)', 'VLV 四芯 铝芯', '50', 0.641, 0.08),
    ('聚氯乙烯绝缘电力电缆(0.6/1kV)', 'VLV 四芯 铝芯', '70', 0.443, 0.08),
    ('聚氯乙烯绝缘电力电缆(0.6/1kV)', 'VLV 四芯 铝芯', '95', 0.320, 0.08),
    ('聚氯乙烯绝缘电力电缆(0.6/1kV)', 'VLV 四芯 铝芯', '120', 0.253, 0.08),
    ('聚氯乙烯绝缘电力电缆(0.6/1kV)', 'VLV 四芯 铝芯', '150', 0.206, 0.08),
    ('聚氯乙烯绝缘电力电缆(0.6/1kV)', 'VLV 四芯 铝芯', '185', 0.164, 0.07),
    ('聚氯乙烯绝缘电力电缆(0.6/1kV)', 'VLV 四芯 铝芯', '240', 0.125, 0.07);

-- ======================================================================
-- 交联聚乙烯绝缘电力电缆(0.6/1kV)

-- YJV 四芯 铜芯: R: derived, 90 °C; X: 2.5-16 maker catalogue, 25-240 BS 7671 4E4B / sqrt(3)
INSERT INTO AAA (损失类型, 导线类型, 导线截面, 电阻, 电抗) VALUES
    ('交联聚乙烯绝缘电力电缆(0.6/1kV)', 'YJV 四芯 铜芯', '2.5', 9.45, 0.103),
    ('交联聚乙烯绝缘电力电缆(0.6/1kV)', 'YJV 四芯 铜芯', '4', 5.88, 0.102),
    ('交联聚乙烯绝缘电力电缆(0.6/1kV)', 'YJV 四芯 铜芯', '6', 3.93, 0.097),
    ('交联聚乙烯绝缘电力电缆(0.6/1kV)', 'YJV 四芯 铜芯', '10', 2.33, 0.091),
    ('交联聚乙烯绝缘电力电缆(0.6/1kV)', 'YJV 四芯 铜芯', '16', 1.466, 0.086),
    ('交联聚乙烯绝缘电力电缆(0.6/1kV)', 'YJV 四芯 铜芯', '25', 0.927, 0.081),
    ('交联聚乙烯绝缘电力电缆(0.6/1kV)', 'YJV 四芯 铜芯', '35', 0.668, 0.078),
    ('交联聚乙烯绝缘电力电缆(0.6/1kV)', 'YJV 四芯 铜芯', '50', 0.494, 0.078),
    ('交联聚乙烯绝缘电力电缆(0.6/1kV)', 'YJV 四芯 铜芯', '70', 0.342, 0.075),
    ('交联聚乙烯绝缘电力电缆(0.6/1kV)', 'YJV 四芯 铜芯', '95', 0.246, 0.075),
    ('交联聚乙烯绝缘电力电缆(0.6/1kV)', 'YJV 四芯 铜芯', '120', 0.195, 0.075),
    ('交联聚乙烯绝缘电力电缆(0.6/1kV)', 'YJV 四芯 铜芯', '150', 0.158, 0.072),
    ('交联聚乙烯绝缘电力电缆(0.6/1kV)', 'YJV 四芯 铜芯', '185', 0.126, 0.072),
    ('交联聚乙烯绝缘电力电缆(0.6/1kV)', 'YJV 四芯 铜芯', '240', 0.0961, 0.072);

-- YJLV 四芯 铝芯: R: derived, 90 °C; X: 10-16 maker catalogue, 25-240 BS 7671 4E4B / sqrt(3)
INSERT INTO AAA (损失类型, 导线类型, 导线截面, 电阻, 电抗) VALUES
    ('交联聚乙烯绝缘电力电缆(0.6/1kV)', 'YJLV 四芯 铝芯', '10', 3.95, 0.091),
    ('交联聚乙烯绝缘电力电缆(0.6/1kV)', 'YJLV 四芯 铝芯', '16', 2.449, 0.086),
    ('交联聚乙烯绝缘电力电缆(0.6/1kV)', 'YJLV 四芯 铝芯', '25', 1.539, 0.081),
    ('交联聚乙烯绝缘电力电缆(0.6/1kV)', 'YJLV 四芯 铝芯', '35', 1.113, 0.078),
    ('交联聚乙烯绝缘电力电缆(0.6/1kV)', 'YJLV 四芯 铝芯', '50', 0.822, 0.078),
    ('交联聚乙烯绝缘电力电缆(0.6/1kV)', 'YJLV 四芯 铝芯', '70', 0.568, 0.075),
    ('交联聚乙烯绝缘电力电缆(0.6/1kV)', 'YJLV 四芯 铝芯', '95', 0.410, 0.075),
    ('交联聚乙烯绝缘电力电缆(0.6/1kV)', 'YJLV 四芯 铝芯', '120', 0.324, 0.075),
    ('交联聚乙烯绝缘电力电缆(0.6/1kV)', 'YJLV 四芯 铝芯', '150', 0.264, 0.072),
    ('交联聚乙烯绝缘电力电缆(0.6/1kV)', 'YJLV 四芯 铝芯', '185', 0.210, 0.072),
    ('交联聚乙烯绝缘电力电缆(0.6/1kV)', 'YJLV 四芯 铝芯', '240', 0.160, 0.072);

-- ======================================================================
-- 架空线路

-- LJ 铝绞线 线距0.6m: R: derived, 70 °C from GB/T 1179 R20; X: derived, Dm = 0.6 m
INSERT INTO AAA (损失类型, 导线类型, 导线截面, 电阻, 电抗) VALUES
    ('架空线路', 'LJ 铝绞线 线距0.6m', '16', 2.165, 0.363),
    ('架空线路', 'LJ 铝绞线 线距0.6m', '25', 1.354, 0.348),
    ('架空线路', 'LJ 铝绞线 线距0.6m', '35', 1.001, 0.339),
    ('架空线路', 'LJ 铝绞线 线距0.6m', '50', 0.695, 0.328),
    ('架空线路', 'LJ 铝绞线 线距0.6m', '70', 0.483, 0.316),
    ('架空线路', 'LJ 铝绞线 线距0.6m', '95', 0.362, 0.307),
    ('架空线路', 'LJ 铝绞线 线距0.6m', '120', 0.285, 0.296),
    ('架空线路', 'LJ 铝绞线 线距0.6m', '150', 0.234, 0.290),
    ('架空线路', 'LJ 铝绞线 线距0.6m', '185', 0.189, 0.283),
    ('架空线路', 'LJ 铝绞线 线距0.6m', '240', 0.145, 0.275);

-- LJ 铝绞线 线距0.8m: R: derived, 70 °C from GB/T 1179 R20; X: derived, Dm = 0.8 m
INSERT INTO AAA (损失类型, 导线类型, 导线截面, 电阻, 电抗) VALUES
    ('架空线路', 'LJ 铝绞线 线距0.8m', '16', 2.165, 0.381),
    ('架空线路', 'LJ 铝绞线 线距0.8m', '25', 1.354, 0.367),
    ('架空线路', 'LJ 铝绞线 线距0.8m', '35', 1.001, 0.357),
    ('架空线路', 'LJ 铝绞线 线距0.8m', '50', 0.695, 0.346),
    ('架空线路', 'LJ 铝绞线 线距0.8m', '70', 0.483, 0.334),
    ('架空线路', 'LJ 铝绞线 线距0.8m', '95', 0.362, 0.325),
    ('架空线路', 'LJ 铝绞线 线距0.8m', '120', 0.285, 0.314),
    ('架空线路', 'LJ 铝绞线 线距0.8m', '150', 0.234, 0.308),
    ('架空线路', 'LJ 铝绞线 线距0.8m', '185', 0.189, 0.301),
    ('架空线路', 'LJ 铝绞线 线距0.8m', '240', 0.145, 0.293);

-- ======================================================================
-- 架空绝缘线路

-- JKLYJ 铝芯 线距0.4m: R: derived, 90 °C; X: derived, Dm = 0.4 m
INSERT INTO AAA (损失类型, 导线类型, 导线截面, 电阻, 电抗) VALUES
    ('架空绝缘线路', 'JKLYJ 铝芯 线距0.4m', '16', 2.449, 0.338),
    ('架空绝缘线路', 'JKLYJ 铝芯 线距0.4m', '25', 1.539, 0.324),
    ('架空绝缘线路', 'JKLYJ 铝芯 线距0.4m', '35', 1.113, 0.314),
    ('架空绝缘线路', 'JKLYJ 铝芯 线距0.4m', '50', 0.822, 0.303),
    ('架空绝缘线路', 'JKLYJ 铝芯 线距0.4m', '70', 0.568, 0.292),
    ('架空绝缘线路', 'JKLYJ 铝芯 线距0.4m', '95', 0.410, 0.282),
    ('架空绝缘线路', 'JKLYJ 铝芯 线距0.4m', '120', 0.324, 0.275),
    ('架空绝缘线路', 'JKLYJ 铝芯 线距0.4m', '150', 0.264, 0.268),
    ('架空绝缘线路', 'JKLYJ 铝芯 线距0.4m', '185', 0.210, 0.261),
    ('架空绝缘线路', 'JKLYJ 铝芯 线距0.4m', '240', 0.160, 0.253);

-- JKLYJ 铝芯 集束: R: derived, 90 °C; X: derived, twisted bundle
INSERT INTO AAA (损失类型, 导线类型, 导线截面, 电阻, 电抗) VALUES
    ('架空绝缘线路', 'JKLYJ 铝芯 集束', '16', 2.449, 0.093),
    ('架空绝缘线路', 'JKLYJ 铝芯 集束', '25', 1.539, 0.088),
    ('架空绝缘线路', 'JKLYJ 铝芯 集束', '35', 1.113, 0.088),
    ('架空绝缘线路', 'JKLYJ 铝芯 集束', '50', 0.822, 0.085),
    ('架空绝缘线路', 'JKLYJ 铝芯 集束', '70', 0.568, 0.083),
    ('架空绝缘线路', 'JKLYJ 铝芯 集束', '95', 0.410, 0.083),
    ('架空绝缘线路', 'JKLYJ 铝芯 集束', '120', 0.324, 0.081),
    ('架空绝缘线路', 'JKLYJ 铝芯 集束', '150', 0.264, 0.081),
    ('架空绝缘线路', 'JKLYJ 铝芯 集束', '185', 0.210, 0.081),
    ('架空绝缘线路', 'JKLYJ 铝芯 集束', '240', 0.160, 0.081);

-- ======================================================================
-- 穿管绝缘导线

-- BV 铜芯: R: derived, 70 °C; X: derived, single cores in one conduit
INSERT INTO AAA (损失类型, 导线类型, 导线截面, 电阻, 电抗) VALUES
    ('穿管绝缘导线', 'BV 铜芯', '2.5', 8.87, 0.116),
    ('穿管绝缘导线', 'BV 铜芯', '4', 5.52, 0.109),
    ('穿管绝缘导线', 'BV 铜芯', '6', 3.69, 0.104),
    ('穿管绝缘导线', 'BV 铜芯', '10', 2.19, 0.105),
    ('穿管绝缘导线', 'BV 铜芯', '16', 1.376, 0.101),
    ('穿管绝缘导线', 'BV 铜芯', '25', 0.870, 0.100),
    ('穿管绝缘导线', 'BV 铜芯', '35', 0.627, 0.097),
    ('穿管绝缘导线', 'BV 铜芯', '50', 0.463, 0.095),
    ('穿管绝缘导线', 'BV 铜芯', '70', 0.321, 0.092),
    ('穿管绝缘导线', 'BV 铜芯', '95', 0.231, 0.092),
    ('穿管绝缘导线', 'BV 铜芯', '120', 0.183, 0.089),
    ('穿管绝缘导线', 'BV 铜芯', '150', 0.148, 0.090),
    ('穿管绝缘导线', 'BV 铜芯', '185', 0.119, 0.089),
    ('穿管绝缘导线', 'BV 铜芯', '240', 0.0902, 0.089);

COMMIT;
