-- Extra rows for the test copy of the transformer and busbar database; applied after
-- data/transformer_busbar_database.sql. Never included in the shipped Database/Byaqi-Muxie.db.

BEGIN TRANSACTION;

-- Apostrophe in series, voltage and capacity: lookups must bind the text, not paste it into SQL.
INSERT INTO 变压器阻抗 (变压器型号, 电压, 容量, 阻抗电压, 负载损耗)
    VALUES ('S11''测试', '10''', '400''', 4, 4.3);

-- Duplicate capacity, first row: '100' must be listed twice, this one first.
INSERT INTO 变压器阻抗 (变压器型号, 电压, 容量, 阻抗电压, 负载损耗)
    VALUES ('重复测试', '10', '100', 4, 1.5);

-- Duplicate capacity, second row: distinct uk/ΔP show which of the two rows a lookup returned.
INSERT INTO 变压器阻抗 (变压器型号, 电压, 容量, 阻抗电压, 负载损耗)
    VALUES ('重复测试', '10', '100', 4.5, 2.0);

-- Apostrophe in material and bar arrangement: lookups must bind the text.
INSERT INTO 低压母线单位长度阻抗 (母线材质, 截面, 相线电阻, 相线电抗, 相保电阻, 相保电抗)
    VALUES ('铜''测试', '4(80X8)''', 0.03, 0.17, 0.06, 0.32);

-- Duplicate arrangement, first row: '4(40X4)' must be listed twice, this one first.
INSERT INTO 低压母线单位长度阻抗 (母线材质, 截面, 相线电阻, 相线电抗, 相保电阻, 相保电抗)
    VALUES ('重复测试', '4(40X4)', 0.132, 0.212, 0.264, 0.4);

-- Duplicate arrangement, second row: distinct values show which of the two rows a lookup returned.
INSERT INTO 低压母线单位长度阻抗 (母线材质, 截面, 相线电阻, 相线电抗, 相保电阻, 相保电抗)
    VALUES ('重复测试', '4(40X4)', 0.2, 0.3, 0.4, 0.5);

COMMIT;
