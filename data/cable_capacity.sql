-- Current-carrying capacity of 0.6/1 kV cables and its correction factors, in the cable
-- database beside table AAA. (Figures: see the tables below, each with its source.)

BEGIN TRANSACTION;

CREATE TABLE cable_capacity (
    conductor TEXT NOT NULL CHECK (conductor IN ('Cu', 'Al')),
    insulation TEXT NOT NULL CHECK (insulation IN ('PVC', 'XLPE')),
    method TEXT NOT NULL CHECK (method IN ('E', 'D1', 'D2')),
    section_mm2 REAL NOT NULL,
    current_a REAL NOT NULL,
    source TEXT NOT NULL,
    PRIMARY KEY (conductor, insulation, method, section_mm2)
);

CREATE TABLE capacity_temperature_factor (
    medium TEXT NOT NULL CHECK (medium IN ('air', 'ground')),
    insulation TEXT NOT NULL CHECK (insulation IN ('PVC', 'XLPE')),
    temperature_c REAL NOT NULL,
    factor REAL NOT NULL,
    source TEXT NOT NULL,
    PRIMARY KEY (medium, insulation, temperature_c)
);

CREATE TABLE capacity_resistivity_factor (
    method TEXT NOT NULL CHECK (method IN ('D1', 'D2')),
    resistivity_kmw REAL NOT NULL,
    factor REAL NOT NULL,
    source TEXT NOT NULL,
    PRIMARY KEY (method, resistivity_kmw)
);

CREATE TABLE capacity_grouping_factor (
    method TEXT NOT NULL CHECK (method IN ('E', 'D1', 'D2')),
    spacing_m REAL NOT NULL,
    circuits INTEGER NOT NULL,
    factor REAL NOT NULL,
    source TEXT NOT NULL,
    PRIMARY KEY (method, spacing_m, circuits)
);

COMMIT;
