-- Reference data of project circuits, in the cable database beside table AAA: the temperature
-- each loss type's resistances are given at, and the switchgear series project circuits are
-- chosen from. The single-circuit pages keep their own tables and do not read these.

BEGIN TRANSACTION;

-- The conductor temperature the 电阻 column of AAA holds for each loss type, and the working
-- temperature of the insulation, at which a project circuit's voltage loss is computed (the
-- project may set another). Working temperatures: 70 °C for PVC insulation and bare overhead
-- conductors, 90 °C for XLPE (GB 50217-2018 appendix A, table A; IEC 60502-1 4.2). The
-- resistance temperatures are those stated in the header of cable_database.sql.
CREATE TABLE loss_type_temperature (
    loss_type TEXT PRIMARY KEY,           -- 损失类型 of AAA
    resistance_temperature_c REAL NOT NULL,
    working_temperature_c REAL NOT NULL,
    source TEXT NOT NULL
);
INSERT INTO loss_type_temperature VALUES
    ('聚氯乙烯绝缘电力电缆(0.6/1kV)', 20, 70,
     'R: IEC 60228 class 2 at 20 °C; PVC 70 °C: GB 50217-2018 table A'),
    ('交联聚乙烯绝缘电力电缆(0.6/1kV)', 90, 90,
     'R: derived at 90 °C; XLPE 90 °C: GB 50217-2018 table A'),
    ('架空线路', 70, 70, 'R: derived at 70 °C from GB/T 1179; bare conductor 70 °C'),
    ('架空绝缘线路', 90, 90, 'R: derived at 90 °C; XLPE insulated aerial cable 90 °C (GB/T 14049)'),
    ('穿管绝缘导线', 70, 70, 'R: derived at 70 °C; PVC insulated wire 70 °C (GB/T 5023)');

-- The residual-current circuit-breaker QR and contactor QC of a project circuit, chosen by the
-- selection current x = 1.5·Ib: the first row with x ≤ selection_up_to_a. The rows up to 160 A
-- are the line class table of the protection page; above it the series continues with the
-- preferred rated currents of moulded-case circuit-breakers (IEC 60947-2 / GB/T 14048.2 frame
-- ratings 200, 225, 250, 315, 350, 400, 500, 630 A), each chosen for x ≤ In.
-- conventional_trip_factor = I2 / In, the conventional operating current of the kind:
-- 1.45 for miniature circuit-breakers and RCBOs (IEC 60898-1 / GB/T 10963.1, IEC 61009-1 /
-- GB/T 16917.1, rated up to 63 A here), 1.30 for circuit-breakers to IEC 60947-2 /
-- GB/T 14048.2 (table 7 of that standard, In > 63 A).
-- Contactors above 180 A: the AC-3 ratings of a maker's published series of power contactors
-- (225, 265, 330, 400, 500, 630 A), the smallest not below the breaker's In.
CREATE TABLE project_switchgear (
    selection_up_to_a REAL PRIMARY KEY,
    breaker_a INTEGER NOT NULL,
    contactor_a INTEGER NOT NULL,
    breaker_kind TEXT NOT NULL,
    conventional_trip_factor REAL NOT NULL
);
INSERT INTO project_switchgear VALUES
    (14, 16, 18, 'GB/T 10963.1 (IEC 60898-1)', 1.45),
    (18, 20, 25, 'GB/T 10963.1 (IEC 60898-1)', 1.45),
    (23, 25, 25, 'GB/T 10963.1 (IEC 60898-1)', 1.45),
    (30, 32, 32, 'GB/T 10963.1 (IEC 60898-1)', 1.45),
    (38, 40, 40, 'GB/T 10963.1 (IEC 60898-1)', 1.45),
    (48, 50, 50, 'GB/T 10963.1 (IEC 60898-1)', 1.45),
    (60, 63, 65, 'GB/T 10963.1 (IEC 60898-1)', 1.45),
    (75, 80, 80, 'GB/T 14048.2 (IEC 60947-2)', 1.30),
    (90, 100, 105, 'GB/T 14048.2 (IEC 60947-2)', 1.30),
    (125, 125, 125, 'GB/T 14048.2 (IEC 60947-2)', 1.30),
    (140, 140, 150, 'GB/T 14048.2 (IEC 60947-2)', 1.30),
    (160, 160, 180, 'GB/T 14048.2 (IEC 60947-2)', 1.30),
    (200, 200, 225, 'GB/T 14048.2 (IEC 60947-2)', 1.30),
    (225, 225, 225, 'GB/T 14048.2 (IEC 60947-2)', 1.30),
    (250, 250, 265, 'GB/T 14048.2 (IEC 60947-2)', 1.30),
    (315, 315, 330, 'GB/T 14048.2 (IEC 60947-2)', 1.30),
    (350, 350, 400, 'GB/T 14048.2 (IEC 60947-2)', 1.30),
    (400, 400, 400, 'GB/T 14048.2 (IEC 60947-2)', 1.30),
    (500, 500, 500, 'GB/T 14048.2 (IEC 60947-2)', 1.30),
    (630, 630, 630, 'GB/T 14048.2 (IEC 60947-2)', 1.30);

COMMIT;
