-- Extra rows for the test copy of the cable database; applied after data/cable_database.sql.
-- Never included in the shipped Database/JhxlDlxlss.db.

BEGIN TRANSACTION;

-- Apostrophe in all three key columns: lookups must quote or bind the text, not paste it into SQL.
INSERT INTO AAA (损失类型, 导线类型, 导线截面, 电阻, 电抗)
    VALUES ('O''Brien型测试', 'VV''22 测试', '35''', 0.524, 0.083);

-- NULL 电阻 with a present 电抗: exercises reading a missing resistance.
INSERT INTO AAA (损失类型, 导线类型, 导线截面, 电阻, 电抗)
    VALUES ('测试类型', '缺值电缆', '10', NULL, 0.09);

-- NULL 电抗 with a present 电阻: exercises reading a missing reactance.
INSERT INTO AAA (损失类型, 导线类型, 导线截面, 电阻, 电抗)
    VALUES ('测试类型', '缺值电缆', '16', 1.15, NULL);

-- Duplicate cross-section, first row: '25' must be listed twice, this one first.
INSERT INTO AAA (损失类型, 导线类型, 导线截面, 电阻, 电抗)
    VALUES ('测试类型', '缺值电缆', '25', 0.727, 0.081);

-- Duplicate cross-section, second row: distinct R/X show which of the two rows a lookup returned.
INSERT INTO AAA (损失类型, 导线类型, 导线截面, 电阻, 电抗)
    VALUES ('测试类型', '缺值电缆', '25', 0.8, 0.09);

COMMIT;
