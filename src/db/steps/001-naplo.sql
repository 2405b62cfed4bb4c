-- The audit log: who changed which row of the client, prescription,
-- examination, work-order and user tables, when, and what. Server triggers
-- write it, so a change from the SQL console, the stock client or another
-- program is recorded as well. The acting user is the program's session
-- variable @qo_felhasznalo, else the database account of the session.
-- Passwords are never written: only that one changed.

CREATE TABLE IF NOT EXISTS naplo (
  naplo        BIGINT NOT NULL AUTO_INCREMENT,
  idopont      DATETIME NOT NULL,
  felhasznalo  VARCHAR(150),
  tabla        VARCHAR(64),
  kulcs        VARCHAR(100),
  ugyfel       INT,
  muvelet      VARCHAR(20) NOT NULL,
  reszlet      MEDIUMTEXT,
  PRIMARY KEY (naplo),
  KEY ix_naplo_tabla_kulcs (tabla, kulcs),
  KEY ix_naplo_idopont (idopont),
  KEY ix_naplo_ugyfel (ugyfel),
  KEY ix_naplo_felhasznalo (felhasznalo)
) ENGINE=InnoDB DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci;

DELIMITER $$

DROP TRIGGER IF EXISTS tr_ugyfel_naplo_ins$$
CREATE TRIGGER tr_ugyfel_naplo_ins AFTER INSERT ON ugyfel FOR EACH ROW
BEGIN
  INSERT INTO naplo (idopont, felhasznalo, tabla, kulcs, ugyfel, muvelet, reszlet)
  VALUES (NOW(), LEFT(COALESCE(NULLIF(@qo_felhasznalo, ''), SESSION_USER()), 150), 'ugyfel', NEW.ugyfel, NEW.ugyfel, 'INSERT', CONCAT_WS(', ', CONCAT('ugyfel_nev: ', QUOTE(NEW.ugyfel_nev)), CONCAT('cim_varos: ', QUOTE(NEW.cim_varos)), CONCAT('torolve: ', QUOTE(NEW.torolve))));
END$$

DROP TRIGGER IF EXISTS tr_ugyfel_naplo_upd$$
CREATE TRIGGER tr_ugyfel_naplo_upd AFTER UPDATE ON ugyfel FOR EACH ROW
BEGIN
  DECLARE v_reszlet MEDIUMTEXT;
  SET v_reszlet = CONCAT_WS(CHAR(10 USING latin2),
    IF(NOT (BINARY OLD.ugyfel <=> BINARY NEW.ugyfel), CONCAT('ugyfel: ', IFNULL(CAST(OLD.ugyfel AS CHAR), 'NULL'), ' -> ', IFNULL(CAST(NEW.ugyfel AS CHAR), 'NULL')), NULL),
    IF(NOT (BINARY OLD.ugyfel_nev <=> BINARY NEW.ugyfel_nev), CONCAT('ugyfel_nev: ', QUOTE(OLD.ugyfel_nev), ' -> ', QUOTE(NEW.ugyfel_nev)), NULL),
    IF(NOT (BINARY OLD.vnev <=> BINARY NEW.vnev), CONCAT('vnev: ', QUOTE(OLD.vnev), ' -> ', QUOTE(NEW.vnev)), NULL),
    IF(NOT (BINARY OLD.knev <=> BINARY NEW.knev), CONCAT('knev: ', QUOTE(OLD.knev), ' -> ', QUOTE(NEW.knev)), NULL),
    IF(NOT (BINARY OLD.kapcsolat <=> BINARY NEW.kapcsolat), CONCAT('kapcsolat: ', QUOTE(OLD.kapcsolat), ' -> ', QUOTE(NEW.kapcsolat)), NULL),
    IF(NOT (BINARY OLD.telefon <=> BINARY NEW.telefon), CONCAT('telefon: ', QUOTE(OLD.telefon), ' -> ', QUOTE(NEW.telefon)), NULL),
    IF(NOT (BINARY OLD.emil <=> BINARY NEW.emil), CONCAT('emil: ', QUOTE(OLD.emil), ' -> ', QUOTE(NEW.emil)), NULL),
    IF(NOT (BINARY OLD.honlap <=> BINARY NEW.honlap), CONCAT('honlap: ', QUOTE(OLD.honlap), ' -> ', QUOTE(NEW.honlap)), NULL),
    IF(NOT (BINARY OLD.cim_irsz <=> BINARY NEW.cim_irsz), CONCAT('cim_irsz: ', QUOTE(OLD.cim_irsz), ' -> ', QUOTE(NEW.cim_irsz)), NULL),
    IF(NOT (BINARY OLD.cim_varos <=> BINARY NEW.cim_varos), CONCAT('cim_varos: ', QUOTE(OLD.cim_varos), ' -> ', QUOTE(NEW.cim_varos)), NULL),
    IF(NOT (BINARY OLD.cim_cim <=> BINARY NEW.cim_cim), CONCAT('cim_cim: ', QUOTE(OLD.cim_cim), ' -> ', QUOTE(NEW.cim_cim)), NULL),
    IF(NOT (BINARY OLD.torolve <=> BINARY NEW.torolve), CONCAT('torolve: ', QUOTE(OLD.torolve), ' -> ', QUOTE(NEW.torolve)), NULL),
    IF(NOT (BINARY OLD.dat_utolso <=> BINARY NEW.dat_utolso), CONCAT('dat_utolso: ', IFNULL(CAST(OLD.dat_utolso AS CHAR), 'NULL'), ' -> ', IFNULL(CAST(NEW.dat_utolso AS CHAR), 'NULL')), NULL),
    IF(NOT (BINARY OLD.dat_figyelmeztet <=> BINARY NEW.dat_figyelmeztet), CONCAT('dat_figyelmeztet: ', IFNULL(CAST(OLD.dat_figyelmeztet AS CHAR), 'NULL'), ' -> ', IFNULL(CAST(NEW.dat_figyelmeztet AS CHAR), 'NULL')), NULL),
    IF(NOT (BINARY OLD.csoport <=> BINARY NEW.csoport), CONCAT('csoport: ', IFNULL(CAST(OLD.csoport AS CHAR), 'NULL'), ' -> ', IFNULL(CAST(NEW.csoport AS CHAR), 'NULL')), NULL),
    IF(NOT (BINARY OLD.megjegyzes <=> BINARY NEW.megjegyzes), CONCAT('megjegyzes: ', QUOTE(OLD.megjegyzes), ' -> ', QUOTE(NEW.megjegyzes)), NULL),
    IF(NOT (BINARY OLD.keret <=> BINARY NEW.keret), CONCAT('keret: ', QUOTE(OLD.keret), ' -> ', QUOTE(NEW.keret)), NULL),
    IF(NOT (BINARY OLD.keretszam <=> BINARY NEW.keretszam), CONCAT('keretszam: ', QUOTE(OLD.keretszam), ' -> ', QUOTE(NEW.keretszam)), NULL),
    IF(NOT (BINARY OLD.szuldatum <=> BINARY NEW.szuldatum), CONCAT('szuldatum: ', QUOTE(OLD.szuldatum), ' -> ', QUOTE(NEW.szuldatum)), NULL));
  IF v_reszlet <> '' THEN
    INSERT INTO naplo (idopont, felhasznalo, tabla, kulcs, ugyfel, muvelet, reszlet)
    VALUES (NOW(), LEFT(COALESCE(NULLIF(@qo_felhasznalo, ''), SESSION_USER()), 150), 'ugyfel', NEW.ugyfel, NEW.ugyfel, 'UPDATE', v_reszlet);
  END IF;
END$$

DROP TRIGGER IF EXISTS tr_ugyfel_naplo_del$$
CREATE TRIGGER tr_ugyfel_naplo_del AFTER DELETE ON ugyfel FOR EACH ROW
BEGIN
  INSERT INTO naplo (idopont, felhasznalo, tabla, kulcs, ugyfel, muvelet, reszlet)
  VALUES (NOW(), LEFT(COALESCE(NULLIF(@qo_felhasznalo, ''), SESSION_USER()), 150), 'ugyfel', OLD.ugyfel, OLD.ugyfel, 'DELETE', CONCAT_WS(', ', CONCAT('ugyfel_nev: ', QUOTE(OLD.ugyfel_nev)), CONCAT('cim_varos: ', QUOTE(OLD.cim_varos)), CONCAT('torolve: ', QUOTE(OLD.torolve))));
END$$

DROP TRIGGER IF EXISTS tr_ugyfel_sz_tavol_naplo_ins$$
CREATE TRIGGER tr_ugyfel_sz_tavol_naplo_ins AFTER INSERT ON ugyfel_sz_tavol FOR EACH ROW
BEGIN
  INSERT INTO naplo (idopont, felhasznalo, tabla, kulcs, ugyfel, muvelet, reszlet)
  VALUES (NOW(), LEFT(COALESCE(NULLIF(@qo_felhasznalo, ''), SESSION_USER()), 150), 'ugyfel_sz_tavol', CONCAT(NEW.ugyfel, '/', NEW.kulcs), NEW.ugyfel, 'INSERT', CONCAT_WS(', ', CONCAT('oldal: ', QUOTE(NEW.oldal))));
END$$

DROP TRIGGER IF EXISTS tr_ugyfel_sz_tavol_naplo_upd$$
CREATE TRIGGER tr_ugyfel_sz_tavol_naplo_upd AFTER UPDATE ON ugyfel_sz_tavol FOR EACH ROW
BEGIN
  DECLARE v_reszlet MEDIUMTEXT;
  SET v_reszlet = CONCAT_WS(CHAR(10 USING latin2),
    IF(NOT (BINARY OLD.ugyfel <=> BINARY NEW.ugyfel), CONCAT('ugyfel: ', IFNULL(CAST(OLD.ugyfel AS CHAR), 'NULL'), ' -> ', IFNULL(CAST(NEW.ugyfel AS CHAR), 'NULL')), NULL),
    IF(NOT (BINARY OLD.kulcs <=> BINARY NEW.kulcs), CONCAT('kulcs: ', IFNULL(CAST(OLD.kulcs AS CHAR), 'NULL'), ' -> ', IFNULL(CAST(NEW.kulcs AS CHAR), 'NULL')), NULL),
    IF(NOT (BINARY OLD.oldal <=> BINARY NEW.oldal), CONCAT('oldal: ', QUOTE(OLD.oldal), ' -> ', QUOTE(NEW.oldal)), NULL),
    IF(NOT (BINARY OLD.sph <=> BINARY NEW.sph), CONCAT('sph: ', QUOTE(OLD.sph), ' -> ', QUOTE(NEW.sph)), NULL),
    IF(NOT (BINARY OLD.cyl <=> BINARY NEW.cyl), CONCAT('cyl: ', QUOTE(OLD.cyl), ' -> ', QUOTE(NEW.cyl)), NULL),
    IF(NOT (BINARY OLD.ax <=> BINARY NEW.ax), CONCAT('ax: ', QUOTE(OLD.ax), ' -> ', QUOTE(NEW.ax)), NULL),
    IF(NOT (BINARY OLD.prism <=> BINARY NEW.prism), CONCAT('prism: ', QUOTE(OLD.prism), ' -> ', QUOTE(NEW.prism)), NULL),
    IF(NOT (BINARY OLD.pd <=> BINARY NEW.pd), CONCAT('pd: ', QUOTE(OLD.pd), ' -> ', QUOTE(NEW.pd)), NULL));
  IF v_reszlet <> '' THEN
    INSERT INTO naplo (idopont, felhasznalo, tabla, kulcs, ugyfel, muvelet, reszlet)
    VALUES (NOW(), LEFT(COALESCE(NULLIF(@qo_felhasznalo, ''), SESSION_USER()), 150), 'ugyfel_sz_tavol', CONCAT(NEW.ugyfel, '/', NEW.kulcs), NEW.ugyfel, 'UPDATE', v_reszlet);
  END IF;
END$$

DROP TRIGGER IF EXISTS tr_ugyfel_sz_tavol_naplo_del$$
CREATE TRIGGER tr_ugyfel_sz_tavol_naplo_del AFTER DELETE ON ugyfel_sz_tavol FOR EACH ROW
BEGIN
  INSERT INTO naplo (idopont, felhasznalo, tabla, kulcs, ugyfel, muvelet, reszlet)
  VALUES (NOW(), LEFT(COALESCE(NULLIF(@qo_felhasznalo, ''), SESSION_USER()), 150), 'ugyfel_sz_tavol', CONCAT(OLD.ugyfel, '/', OLD.kulcs), OLD.ugyfel, 'DELETE', CONCAT_WS(', ', CONCAT('oldal: ', QUOTE(OLD.oldal))));
END$$

DROP TRIGGER IF EXISTS tr_ugyfel_sz_kozel_naplo_ins$$
CREATE TRIGGER tr_ugyfel_sz_kozel_naplo_ins AFTER INSERT ON ugyfel_sz_kozel FOR EACH ROW
BEGIN
  INSERT INTO naplo (idopont, felhasznalo, tabla, kulcs, ugyfel, muvelet, reszlet)
  VALUES (NOW(), LEFT(COALESCE(NULLIF(@qo_felhasznalo, ''), SESSION_USER()), 150), 'ugyfel_sz_kozel', CONCAT(NEW.ugyfel, '/', NEW.kulcs), NEW.ugyfel, 'INSERT', CONCAT_WS(', ', CONCAT('oldal: ', QUOTE(NEW.oldal))));
END$$

DROP TRIGGER IF EXISTS tr_ugyfel_sz_kozel_naplo_upd$$
CREATE TRIGGER tr_ugyfel_sz_kozel_naplo_upd AFTER UPDATE ON ugyfel_sz_kozel FOR EACH ROW
BEGIN
  DECLARE v_reszlet MEDIUMTEXT;
  SET v_reszlet = CONCAT_WS(CHAR(10 USING latin2),
    IF(NOT (BINARY OLD.ugyfel <=> BINARY NEW.ugyfel), CONCAT('ugyfel: ', IFNULL(CAST(OLD.ugyfel AS CHAR), 'NULL'), ' -> ', IFNULL(CAST(NEW.ugyfel AS CHAR), 'NULL')), NULL),
    IF(NOT (BINARY OLD.kulcs <=> BINARY NEW.kulcs), CONCAT('kulcs: ', IFNULL(CAST(OLD.kulcs AS CHAR), 'NULL'), ' -> ', IFNULL(CAST(NEW.kulcs AS CHAR), 'NULL')), NULL),
    IF(NOT (BINARY OLD.oldal <=> BINARY NEW.oldal), CONCAT('oldal: ', QUOTE(OLD.oldal), ' -> ', QUOTE(NEW.oldal)), NULL),
    IF(NOT (BINARY OLD.sph <=> BINARY NEW.sph), CONCAT('sph: ', QUOTE(OLD.sph), ' -> ', QUOTE(NEW.sph)), NULL),
    IF(NOT (BINARY OLD.cyl <=> BINARY NEW.cyl), CONCAT('cyl: ', QUOTE(OLD.cyl), ' -> ', QUOTE(NEW.cyl)), NULL),
    IF(NOT (BINARY OLD.ax <=> BINARY NEW.ax), CONCAT('ax: ', QUOTE(OLD.ax), ' -> ', QUOTE(NEW.ax)), NULL),
    IF(NOT (BINARY OLD.prism <=> BINARY NEW.prism), CONCAT('prism: ', QUOTE(OLD.prism), ' -> ', QUOTE(NEW.prism)), NULL),
    IF(NOT (BINARY OLD.pd <=> BINARY NEW.pd), CONCAT('pd: ', QUOTE(OLD.pd), ' -> ', QUOTE(NEW.pd)), NULL));
  IF v_reszlet <> '' THEN
    INSERT INTO naplo (idopont, felhasznalo, tabla, kulcs, ugyfel, muvelet, reszlet)
    VALUES (NOW(), LEFT(COALESCE(NULLIF(@qo_felhasznalo, ''), SESSION_USER()), 150), 'ugyfel_sz_kozel', CONCAT(NEW.ugyfel, '/', NEW.kulcs), NEW.ugyfel, 'UPDATE', v_reszlet);
  END IF;
END$$

DROP TRIGGER IF EXISTS tr_ugyfel_sz_kozel_naplo_del$$
CREATE TRIGGER tr_ugyfel_sz_kozel_naplo_del AFTER DELETE ON ugyfel_sz_kozel FOR EACH ROW
BEGIN
  INSERT INTO naplo (idopont, felhasznalo, tabla, kulcs, ugyfel, muvelet, reszlet)
  VALUES (NOW(), LEFT(COALESCE(NULLIF(@qo_felhasznalo, ''), SESSION_USER()), 150), 'ugyfel_sz_kozel', CONCAT(OLD.ugyfel, '/', OLD.kulcs), OLD.ugyfel, 'DELETE', CONCAT_WS(', ', CONCAT('oldal: ', QUOTE(OLD.oldal))));
END$$

DROP TRIGGER IF EXISTS tr_ugyfel_sz_egyeb_naplo_ins$$
CREATE TRIGGER tr_ugyfel_sz_egyeb_naplo_ins AFTER INSERT ON ugyfel_sz_egyeb FOR EACH ROW
BEGIN
  INSERT INTO naplo (idopont, felhasznalo, tabla, kulcs, ugyfel, muvelet, reszlet)
  VALUES (NOW(), LEFT(COALESCE(NULLIF(@qo_felhasznalo, ''), SESSION_USER()), 150), 'ugyfel_sz_egyeb', CONCAT(NEW.ugyfel, '/', NEW.kulcs), NEW.ugyfel, 'INSERT', CONCAT_WS(', ', CONCAT('oldal: ', QUOTE(NEW.oldal))));
END$$

DROP TRIGGER IF EXISTS tr_ugyfel_sz_egyeb_naplo_upd$$
CREATE TRIGGER tr_ugyfel_sz_egyeb_naplo_upd AFTER UPDATE ON ugyfel_sz_egyeb FOR EACH ROW
BEGIN
  DECLARE v_reszlet MEDIUMTEXT;
  SET v_reszlet = CONCAT_WS(CHAR(10 USING latin2),
    IF(NOT (BINARY OLD.ugyfel <=> BINARY NEW.ugyfel), CONCAT('ugyfel: ', IFNULL(CAST(OLD.ugyfel AS CHAR), 'NULL'), ' -> ', IFNULL(CAST(NEW.ugyfel AS CHAR), 'NULL')), NULL),
    IF(NOT (BINARY OLD.kulcs <=> BINARY NEW.kulcs), CONCAT('kulcs: ', IFNULL(CAST(OLD.kulcs AS CHAR), 'NULL'), ' -> ', IFNULL(CAST(NEW.kulcs AS CHAR), 'NULL')), NULL),
    IF(NOT (BINARY OLD.oldal <=> BINARY NEW.oldal), CONCAT('oldal: ', QUOTE(OLD.oldal), ' -> ', QUOTE(NEW.oldal)), NULL),
    IF(NOT (BINARY OLD.sph <=> BINARY NEW.sph), CONCAT('sph: ', QUOTE(OLD.sph), ' -> ', QUOTE(NEW.sph)), NULL),
    IF(NOT (BINARY OLD.cyl <=> BINARY NEW.cyl), CONCAT('cyl: ', QUOTE(OLD.cyl), ' -> ', QUOTE(NEW.cyl)), NULL),
    IF(NOT (BINARY OLD.ax <=> BINARY NEW.ax), CONCAT('ax: ', QUOTE(OLD.ax), ' -> ', QUOTE(NEW.ax)), NULL),
    IF(NOT (BINARY OLD.prism <=> BINARY NEW.prism), CONCAT('prism: ', QUOTE(OLD.prism), ' -> ', QUOTE(NEW.prism)), NULL),
    IF(NOT (BINARY OLD.pd <=> BINARY NEW.pd), CONCAT('pd: ', QUOTE(OLD.pd), ' -> ', QUOTE(NEW.pd)), NULL));
  IF v_reszlet <> '' THEN
    INSERT INTO naplo (idopont, felhasznalo, tabla, kulcs, ugyfel, muvelet, reszlet)
    VALUES (NOW(), LEFT(COALESCE(NULLIF(@qo_felhasznalo, ''), SESSION_USER()), 150), 'ugyfel_sz_egyeb', CONCAT(NEW.ugyfel, '/', NEW.kulcs), NEW.ugyfel, 'UPDATE', v_reszlet);
  END IF;
END$$

DROP TRIGGER IF EXISTS tr_ugyfel_sz_egyeb_naplo_del$$
CREATE TRIGGER tr_ugyfel_sz_egyeb_naplo_del AFTER DELETE ON ugyfel_sz_egyeb FOR EACH ROW
BEGIN
  INSERT INTO naplo (idopont, felhasznalo, tabla, kulcs, ugyfel, muvelet, reszlet)
  VALUES (NOW(), LEFT(COALESCE(NULLIF(@qo_felhasznalo, ''), SESSION_USER()), 150), 'ugyfel_sz_egyeb', CONCAT(OLD.ugyfel, '/', OLD.kulcs), OLD.ugyfel, 'DELETE', CONCAT_WS(', ', CONCAT('oldal: ', QUOTE(OLD.oldal))));
END$$

DROP TRIGGER IF EXISTS tr_ugyfel_k_naplo_ins$$
CREATE TRIGGER tr_ugyfel_k_naplo_ins AFTER INSERT ON ugyfel_k FOR EACH ROW
BEGIN
  INSERT INTO naplo (idopont, felhasznalo, tabla, kulcs, ugyfel, muvelet, reszlet)
  VALUES (NOW(), LEFT(COALESCE(NULLIF(@qo_felhasznalo, ''), SESSION_USER()), 150), 'ugyfel_k', CONCAT(NEW.ugyfel, '/', NEW.kulcs), NEW.ugyfel, 'INSERT', CONCAT_WS(', ', CONCAT('oldal: ', QUOTE(NEW.oldal))));
END$$

DROP TRIGGER IF EXISTS tr_ugyfel_k_naplo_upd$$
CREATE TRIGGER tr_ugyfel_k_naplo_upd AFTER UPDATE ON ugyfel_k FOR EACH ROW
BEGIN
  DECLARE v_reszlet MEDIUMTEXT;
  SET v_reszlet = CONCAT_WS(CHAR(10 USING latin2),
    IF(NOT (BINARY OLD.ugyfel <=> BINARY NEW.ugyfel), CONCAT('ugyfel: ', IFNULL(CAST(OLD.ugyfel AS CHAR), 'NULL'), ' -> ', IFNULL(CAST(NEW.ugyfel AS CHAR), 'NULL')), NULL),
    IF(NOT (BINARY OLD.kulcs <=> BINARY NEW.kulcs), CONCAT('kulcs: ', IFNULL(CAST(OLD.kulcs AS CHAR), 'NULL'), ' -> ', IFNULL(CAST(NEW.kulcs AS CHAR), 'NULL')), NULL),
    IF(NOT (BINARY OLD.oldal <=> BINARY NEW.oldal), CONCAT('oldal: ', QUOTE(OLD.oldal), ' -> ', QUOTE(NEW.oldal)), NULL),
    IF(NOT (BINARY OLD.sph <=> BINARY NEW.sph), CONCAT('sph: ', QUOTE(OLD.sph), ' -> ', QUOTE(NEW.sph)), NULL),
    IF(NOT (BINARY OLD.cyl <=> BINARY NEW.cyl), CONCAT('cyl: ', QUOTE(OLD.cyl), ' -> ', QUOTE(NEW.cyl)), NULL),
    IF(NOT (BINARY OLD.gorb <=> BINARY NEW.gorb), CONCAT('gorb: ', QUOTE(OLD.gorb), ' -> ', QUOTE(NEW.gorb)), NULL),
    IF(NOT (BINARY OLD.ax <=> BINARY NEW.ax), CONCAT('ax: ', QUOTE(OLD.ax), ' -> ', QUOTE(NEW.ax)), NULL),
    IF(NOT (BINARY OLD.bc <=> BINARY NEW.bc), CONCAT('bc: ', QUOTE(OLD.bc), ' -> ', QUOTE(NEW.bc)), NULL),
    IF(NOT (BINARY OLD.dia <=> BINARY NEW.dia), CONCAT('dia: ', QUOTE(OLD.dia), ' -> ', QUOTE(NEW.dia)), NULL));
  IF v_reszlet <> '' THEN
    INSERT INTO naplo (idopont, felhasznalo, tabla, kulcs, ugyfel, muvelet, reszlet)
    VALUES (NOW(), LEFT(COALESCE(NULLIF(@qo_felhasznalo, ''), SESSION_USER()), 150), 'ugyfel_k', CONCAT(NEW.ugyfel, '/', NEW.kulcs), NEW.ugyfel, 'UPDATE', v_reszlet);
  END IF;
END$$

DROP TRIGGER IF EXISTS tr_ugyfel_k_naplo_del$$
CREATE TRIGGER tr_ugyfel_k_naplo_del AFTER DELETE ON ugyfel_k FOR EACH ROW
BEGIN
  INSERT INTO naplo (idopont, felhasznalo, tabla, kulcs, ugyfel, muvelet, reszlet)
  VALUES (NOW(), LEFT(COALESCE(NULLIF(@qo_felhasznalo, ''), SESSION_USER()), 150), 'ugyfel_k', CONCAT(OLD.ugyfel, '/', OLD.kulcs), OLD.ugyfel, 'DELETE', CONCAT_WS(', ', CONCAT('oldal: ', QUOTE(OLD.oldal))));
END$$

DROP TRIGGER IF EXISTS tr_vizsgalat_naplo_ins$$
CREATE TRIGGER tr_vizsgalat_naplo_ins AFTER INSERT ON vizsgalat FOR EACH ROW
BEGIN
  INSERT INTO naplo (idopont, felhasznalo, tabla, kulcs, ugyfel, muvelet, reszlet)
  VALUES (NOW(), LEFT(COALESCE(NULLIF(@qo_felhasznalo, ''), SESSION_USER()), 150), 'vizsgalat', NEW.vizsgalat, NEW.ugyfel, 'INSERT', CONCAT_WS(', ', CONCAT('ugyfel: ', IFNULL(CAST(NEW.ugyfel AS CHAR), 'NULL')), CONCAT('datum: ', IFNULL(CAST(NEW.datum AS CHAR), 'NULL')), CONCAT('torolve: ', QUOTE(NEW.torolve))));
END$$

DROP TRIGGER IF EXISTS tr_vizsgalat_naplo_upd$$
CREATE TRIGGER tr_vizsgalat_naplo_upd AFTER UPDATE ON vizsgalat FOR EACH ROW
BEGIN
  DECLARE v_reszlet MEDIUMTEXT;
  SET v_reszlet = CONCAT_WS(CHAR(10 USING latin2),
    IF(NOT (BINARY OLD.vizsgalat <=> BINARY NEW.vizsgalat), CONCAT('vizsgalat: ', IFNULL(CAST(OLD.vizsgalat AS CHAR), 'NULL'), ' -> ', IFNULL(CAST(NEW.vizsgalat AS CHAR), 'NULL')), NULL),
    IF(NOT (BINARY OLD.ugyfel <=> BINARY NEW.ugyfel), CONCAT('ugyfel: ', IFNULL(CAST(OLD.ugyfel AS CHAR), 'NULL'), ' -> ', IFNULL(CAST(NEW.ugyfel AS CHAR), 'NULL')), NULL),
    IF(NOT (BINARY OLD.datum <=> BINARY NEW.datum), CONCAT('datum: ', IFNULL(CAST(OLD.datum AS CHAR), 'NULL'), ' -> ', IFNULL(CAST(NEW.datum AS CHAR), 'NULL')), NULL),
    IF(NOT (BINARY OLD.jobbsph1 <=> BINARY NEW.jobbsph1), CONCAT('jobbsph1: ', QUOTE(OLD.jobbsph1), ' -> ', QUOTE(NEW.jobbsph1)), NULL),
    IF(NOT (BINARY OLD.jobbcyl1 <=> BINARY NEW.jobbcyl1), CONCAT('jobbcyl1: ', QUOTE(OLD.jobbcyl1), ' -> ', QUOTE(NEW.jobbcyl1)), NULL),
    IF(NOT (BINARY OLD.jobbax1 <=> BINARY NEW.jobbax1), CONCAT('jobbax1: ', QUOTE(OLD.jobbax1), ' -> ', QUOTE(NEW.jobbax1)), NULL),
    IF(NOT (BINARY OLD.jobbfpd1 <=> BINARY NEW.jobbfpd1), CONCAT('jobbfpd1: ', QUOTE(OLD.jobbfpd1), ' -> ', QUOTE(NEW.jobbfpd1)), NULL),
    IF(NOT (BINARY OLD.jobbadd1 <=> BINARY NEW.jobbadd1), CONCAT('jobbadd1: ', QUOTE(OLD.jobbadd1), ' -> ', QUOTE(NEW.jobbadd1)), NULL),
    IF(NOT (BINARY OLD.jobbprism1 <=> BINARY NEW.jobbprism1), CONCAT('jobbprism1: ', QUOTE(OLD.jobbprism1), ' -> ', QUOTE(NEW.jobbprism1)), NULL),
    IF(NOT (BINARY OLD.jobbegyeb1 <=> BINARY NEW.jobbegyeb1), CONCAT('jobbegyeb1: ', QUOTE(OLD.jobbegyeb1), ' -> ', QUOTE(NEW.jobbegyeb1)), NULL),
    IF(NOT (BINARY OLD.balsph1 <=> BINARY NEW.balsph1), CONCAT('balsph1: ', QUOTE(OLD.balsph1), ' -> ', QUOTE(NEW.balsph1)), NULL),
    IF(NOT (BINARY OLD.balcyl1 <=> BINARY NEW.balcyl1), CONCAT('balcyl1: ', QUOTE(OLD.balcyl1), ' -> ', QUOTE(NEW.balcyl1)), NULL),
    IF(NOT (BINARY OLD.balax1 <=> BINARY NEW.balax1), CONCAT('balax1: ', QUOTE(OLD.balax1), ' -> ', QUOTE(NEW.balax1)), NULL),
    IF(NOT (BINARY OLD.balfpd1 <=> BINARY NEW.balfpd1), CONCAT('balfpd1: ', QUOTE(OLD.balfpd1), ' -> ', QUOTE(NEW.balfpd1)), NULL),
    IF(NOT (BINARY OLD.baladd1 <=> BINARY NEW.baladd1), CONCAT('baladd1: ', QUOTE(OLD.baladd1), ' -> ', QUOTE(NEW.baladd1)), NULL),
    IF(NOT (BINARY OLD.balprism1 <=> BINARY NEW.balprism1), CONCAT('balprism1: ', QUOTE(OLD.balprism1), ' -> ', QUOTE(NEW.balprism1)), NULL),
    IF(NOT (BINARY OLD.balegyeb1 <=> BINARY NEW.balegyeb1), CONCAT('balegyeb1: ', QUOTE(OLD.balegyeb1), ' -> ', QUOTE(NEW.balegyeb1)), NULL),
    IF(NOT (BINARY OLD.jobbsph2 <=> BINARY NEW.jobbsph2), CONCAT('jobbsph2: ', QUOTE(OLD.jobbsph2), ' -> ', QUOTE(NEW.jobbsph2)), NULL),
    IF(NOT (BINARY OLD.jobbcyl2 <=> BINARY NEW.jobbcyl2), CONCAT('jobbcyl2: ', QUOTE(OLD.jobbcyl2), ' -> ', QUOTE(NEW.jobbcyl2)), NULL),
    IF(NOT (BINARY OLD.jobbax2 <=> BINARY NEW.jobbax2), CONCAT('jobbax2: ', QUOTE(OLD.jobbax2), ' -> ', QUOTE(NEW.jobbax2)), NULL),
    IF(NOT (BINARY OLD.jobbbcmin2 <=> BINARY NEW.jobbbcmin2), CONCAT('jobbbcmin2: ', QUOTE(OLD.jobbbcmin2), ' -> ', QUOTE(NEW.jobbbcmin2)), NULL),
    IF(NOT (BINARY OLD.jobbbcmax2 <=> BINARY NEW.jobbbcmax2), CONCAT('jobbbcmax2: ', QUOTE(OLD.jobbbcmax2), ' -> ', QUOTE(NEW.jobbbcmax2)), NULL),
    IF(NOT (BINARY OLD.jobbbcatl2 <=> BINARY NEW.jobbbcatl2), CONCAT('jobbbcatl2: ', QUOTE(OLD.jobbbcatl2), ' -> ', QUOTE(NEW.jobbbcatl2)), NULL),
    IF(NOT (BINARY OLD.jobbefpd2 <=> BINARY NEW.jobbefpd2), CONCAT('jobbefpd2: ', QUOTE(OLD.jobbefpd2), ' -> ', QUOTE(NEW.jobbefpd2)), NULL),
    IF(NOT (BINARY OLD.balsph2 <=> BINARY NEW.balsph2), CONCAT('balsph2: ', QUOTE(OLD.balsph2), ' -> ', QUOTE(NEW.balsph2)), NULL),
    IF(NOT (BINARY OLD.balcyl2 <=> BINARY NEW.balcyl2), CONCAT('balcyl2: ', QUOTE(OLD.balcyl2), ' -> ', QUOTE(NEW.balcyl2)), NULL),
    IF(NOT (BINARY OLD.balax2 <=> BINARY NEW.balax2), CONCAT('balax2: ', QUOTE(OLD.balax2), ' -> ', QUOTE(NEW.balax2)), NULL),
    IF(NOT (BINARY OLD.balbcmin2 <=> BINARY NEW.balbcmin2), CONCAT('balbcmin2: ', QUOTE(OLD.balbcmin2), ' -> ', QUOTE(NEW.balbcmin2)), NULL),
    IF(NOT (BINARY OLD.balbcmax2 <=> BINARY NEW.balbcmax2), CONCAT('balbcmax2: ', QUOTE(OLD.balbcmax2), ' -> ', QUOTE(NEW.balbcmax2)), NULL),
    IF(NOT (BINARY OLD.balbcatl2 <=> BINARY NEW.balbcatl2), CONCAT('balbcatl2: ', QUOTE(OLD.balbcatl2), ' -> ', QUOTE(NEW.balbcatl2)), NULL),
    IF(NOT (BINARY OLD.balefpd2 <=> BINARY NEW.balefpd2), CONCAT('balefpd2: ', QUOTE(OLD.balefpd2), ' -> ', QUOTE(NEW.balefpd2)), NULL),
    IF(NOT (BINARY OLD.jobbnyersv3 <=> BINARY NEW.jobbnyersv3), CONCAT('jobbnyersv3: ', QUOTE(OLD.jobbnyersv3), ' -> ', QUOTE(NEW.jobbnyersv3)), NULL),
    IF(NOT (BINARY OLD.jobbsph3 <=> BINARY NEW.jobbsph3), CONCAT('jobbsph3: ', QUOTE(OLD.jobbsph3), ' -> ', QUOTE(NEW.jobbsph3)), NULL),
    IF(NOT (BINARY OLD.jobbcyl3 <=> BINARY NEW.jobbcyl3), CONCAT('jobbcyl3: ', QUOTE(OLD.jobbcyl3), ' -> ', QUOTE(NEW.jobbcyl3)), NULL),
    IF(NOT (BINARY OLD.jobbax3 <=> BINARY NEW.jobbax3), CONCAT('jobbax3: ', QUOTE(OLD.jobbax3), ' -> ', QUOTE(NEW.jobbax3)), NULL),
    IF(NOT (BINARY OLD.jobbfpd3 <=> BINARY NEW.jobbfpd3), CONCAT('jobbfpd3: ', QUOTE(OLD.jobbfpd3), ' -> ', QUOTE(NEW.jobbfpd3)), NULL),
    IF(NOT (BINARY OLD.jobbadd3 <=> BINARY NEW.jobbadd3), CONCAT('jobbadd3: ', QUOTE(OLD.jobbadd3), ' -> ', QUOTE(NEW.jobbadd3)), NULL),
    IF(NOT (BINARY OLD.jobbprism3 <=> BINARY NEW.jobbprism3), CONCAT('jobbprism3: ', QUOTE(OLD.jobbprism3), ' -> ', QUOTE(NEW.jobbprism3)), NULL),
    IF(NOT (BINARY OLD.jobbegyeb3 <=> BINARY NEW.jobbegyeb3), CONCAT('jobbegyeb3: ', QUOTE(OLD.jobbegyeb3), ' -> ', QUOTE(NEW.jobbegyeb3)), NULL),
    IF(NOT (BINARY OLD.balnyersv3 <=> BINARY NEW.balnyersv3), CONCAT('balnyersv3: ', QUOTE(OLD.balnyersv3), ' -> ', QUOTE(NEW.balnyersv3)), NULL),
    IF(NOT (BINARY OLD.balsph3 <=> BINARY NEW.balsph3), CONCAT('balsph3: ', QUOTE(OLD.balsph3), ' -> ', QUOTE(NEW.balsph3)), NULL),
    IF(NOT (BINARY OLD.balcyl3 <=> BINARY NEW.balcyl3), CONCAT('balcyl3: ', QUOTE(OLD.balcyl3), ' -> ', QUOTE(NEW.balcyl3)), NULL),
    IF(NOT (BINARY OLD.balax3 <=> BINARY NEW.balax3), CONCAT('balax3: ', QUOTE(OLD.balax3), ' -> ', QUOTE(NEW.balax3)), NULL),
    IF(NOT (BINARY OLD.balfpd3 <=> BINARY NEW.balfpd3), CONCAT('balfpd3: ', QUOTE(OLD.balfpd3), ' -> ', QUOTE(NEW.balfpd3)), NULL),
    IF(NOT (BINARY OLD.baladd3 <=> BINARY NEW.baladd3), CONCAT('baladd3: ', QUOTE(OLD.baladd3), ' -> ', QUOTE(NEW.baladd3)), NULL),
    IF(NOT (BINARY OLD.balprism3 <=> BINARY NEW.balprism3), CONCAT('balprism3: ', QUOTE(OLD.balprism3), ' -> ', QUOTE(NEW.balprism3)), NULL),
    IF(NOT (BINARY OLD.balegyeb3 <=> BINARY NEW.balegyeb3), CONCAT('balegyeb3: ', QUOTE(OLD.balegyeb3), ' -> ', QUOTE(NEW.balegyeb3)), NULL),
    IF(NOT (BINARY OLD.jobbkorrv3 <=> BINARY NEW.jobbkorrv3), CONCAT('jobbkorrv3: ', QUOTE(OLD.jobbkorrv3), ' -> ', QUOTE(NEW.jobbkorrv3)), NULL),
    IF(NOT (BINARY OLD.balkorv3 <=> BINARY NEW.balkorv3), CONCAT('balkorv3: ', QUOTE(OLD.balkorv3), ' -> ', QUOTE(NEW.balkorv3)), NULL),
    IF(NOT (BINARY OLD.anamnezis <=> BINARY NEW.anamnezis), CONCAT('anamnezis: ', QUOTE(OLD.anamnezis), ' -> ', QUOTE(NEW.anamnezis)), NULL),
    IF(NOT (BINARY OLD.diagnozis <=> BINARY NEW.diagnozis), CONCAT('diagnozis: ', QUOTE(OLD.diagnozis), ' -> ', QUOTE(NEW.diagnozis)), NULL),
    IF(NOT (BINARY OLD.torolve <=> BINARY NEW.torolve), CONCAT('torolve: ', QUOTE(OLD.torolve), ' -> ', QUOTE(NEW.torolve)), NULL));
  IF v_reszlet <> '' THEN
    INSERT INTO naplo (idopont, felhasznalo, tabla, kulcs, ugyfel, muvelet, reszlet)
    VALUES (NOW(), LEFT(COALESCE(NULLIF(@qo_felhasznalo, ''), SESSION_USER()), 150), 'vizsgalat', NEW.vizsgalat, NEW.ugyfel, 'UPDATE', v_reszlet);
  END IF;
END$$

DROP TRIGGER IF EXISTS tr_vizsgalat_naplo_del$$
CREATE TRIGGER tr_vizsgalat_naplo_del AFTER DELETE ON vizsgalat FOR EACH ROW
BEGIN
  INSERT INTO naplo (idopont, felhasznalo, tabla, kulcs, ugyfel, muvelet, reszlet)
  VALUES (NOW(), LEFT(COALESCE(NULLIF(@qo_felhasznalo, ''), SESSION_USER()), 150), 'vizsgalat', OLD.vizsgalat, OLD.ugyfel, 'DELETE', CONCAT_WS(', ', CONCAT('ugyfel: ', IFNULL(CAST(OLD.ugyfel AS CHAR), 'NULL')), CONCAT('datum: ', IFNULL(CAST(OLD.datum AS CHAR), 'NULL')), CONCAT('torolve: ', QUOTE(OLD.torolve))));
END$$

DROP TRIGGER IF EXISTS tr_munkalap_naplo_ins$$
CREATE TRIGGER tr_munkalap_naplo_ins AFTER INSERT ON munkalap FOR EACH ROW
BEGIN
  INSERT INTO naplo (idopont, felhasznalo, tabla, kulcs, ugyfel, muvelet, reszlet)
  VALUES (NOW(), LEFT(COALESCE(NULLIF(@qo_felhasznalo, ''), SESSION_USER()), 150), 'munkalap', NEW.munkalap, NEW.ugyfel, 'INSERT', CONCAT_WS(', ', CONCAT('ugyfel: ', IFNULL(CAST(NEW.ugyfel AS CHAR), 'NULL')), CONCAT('mlaptipus: ', IFNULL(CAST(NEW.mlaptipus AS CHAR), 'NULL')), CONCAT('statusz: ', IFNULL(CAST(NEW.statusz AS CHAR), 'NULL')), CONCAT('storno: ', QUOTE(NEW.storno))));
END$$

DROP TRIGGER IF EXISTS tr_munkalap_naplo_upd$$
CREATE TRIGGER tr_munkalap_naplo_upd AFTER UPDATE ON munkalap FOR EACH ROW
BEGIN
  DECLARE v_reszlet MEDIUMTEXT;
  SET v_reszlet = CONCAT_WS(CHAR(10 USING latin2),
    IF(NOT (BINARY OLD.munkalap <=> BINARY NEW.munkalap), CONCAT('munkalap: ', IFNULL(CAST(OLD.munkalap AS CHAR), 'NULL'), ' -> ', IFNULL(CAST(NEW.munkalap AS CHAR), 'NULL')), NULL),
    IF(NOT (BINARY OLD.mlaptipus <=> BINARY NEW.mlaptipus), CONCAT('mlaptipus: ', IFNULL(CAST(OLD.mlaptipus AS CHAR), 'NULL'), ' -> ', IFNULL(CAST(NEW.mlaptipus AS CHAR), 'NULL')), NULL),
    IF(NOT (BINARY OLD.ugyfel <=> BINARY NEW.ugyfel), CONCAT('ugyfel: ', IFNULL(CAST(OLD.ugyfel AS CHAR), 'NULL'), ' -> ', IFNULL(CAST(NEW.ugyfel AS CHAR), 'NULL')), NULL),
    IF(NOT (BINARY OLD.datum <=> BINARY NEW.datum), CONCAT('datum: ', IFNULL(CAST(OLD.datum AS CHAR), 'NULL'), ' -> ', IFNULL(CAST(NEW.datum AS CHAR), 'NULL')), NULL),
    IF(NOT (BINARY OLD.dat_hatid <=> BINARY NEW.dat_hatid), CONCAT('dat_hatid: ', IFNULL(CAST(OLD.dat_hatid AS CHAR), 'NULL'), ' -> ', IFNULL(CAST(NEW.dat_hatid AS CHAR), 'NULL')), NULL),
    IF(NOT (BINARY OLD.dat_kesz <=> BINARY NEW.dat_kesz), CONCAT('dat_kesz: ', IFNULL(CAST(OLD.dat_kesz AS CHAR), 'NULL'), ' -> ', IFNULL(CAST(NEW.dat_kesz AS CHAR), 'NULL')), NULL),
    IF(NOT (BINARY OLD.statusz <=> BINARY NEW.statusz), CONCAT('statusz: ', IFNULL(CAST(OLD.statusz AS CHAR), 'NULL'), ' -> ', IFNULL(CAST(NEW.statusz AS CHAR), 'NULL')), NULL),
    IF(NOT (BINARY OLD.keretmarka <=> BINARY NEW.keretmarka), CONCAT('keretmarka: ', IFNULL(CAST(OLD.keretmarka AS CHAR), 'NULL'), ' -> ', IFNULL(CAST(NEW.keretmarka AS CHAR), 'NULL')), NULL),
    IF(NOT (BINARY OLD.kerettipus <=> BINARY NEW.kerettipus), CONCAT('kerettipus: ', QUOTE(OLD.kerettipus), ' -> ', QUOTE(NEW.kerettipus)), NULL),
    IF(NOT (BINARY OLD.lencsemarka <=> BINARY NEW.lencsemarka), CONCAT('lencsemarka: ', IFNULL(CAST(OLD.lencsemarka AS CHAR), 'NULL'), ' -> ', IFNULL(CAST(NEW.lencsemarka AS CHAR), 'NULL')), NULL),
    IF(NOT (BINARY OLD.tipus <=> BINARY NEW.tipus), CONCAT('tipus: ', QUOTE(OLD.tipus), ' -> ', QUOTE(NEW.tipus)), NULL),
    IF(NOT (BINARY OLD.jobbsph <=> BINARY NEW.jobbsph), CONCAT('jobbsph: ', QUOTE(OLD.jobbsph), ' -> ', QUOTE(NEW.jobbsph)), NULL),
    IF(NOT (BINARY OLD.jobbcyl <=> BINARY NEW.jobbcyl), CONCAT('jobbcyl: ', QUOTE(OLD.jobbcyl), ' -> ', QUOTE(NEW.jobbcyl)), NULL),
    IF(NOT (BINARY OLD.jobbax <=> BINARY NEW.jobbax), CONCAT('jobbax: ', QUOTE(OLD.jobbax), ' -> ', QUOTE(NEW.jobbax)), NULL),
    IF(NOT (BINARY OLD.jobbpd <=> BINARY NEW.jobbpd), CONCAT('jobbpd: ', QUOTE(OLD.jobbpd), ' -> ', QUOTE(NEW.jobbpd)), NULL),
    IF(NOT (BINARY OLD.jobbprism <=> BINARY NEW.jobbprism), CONCAT('jobbprism: ', QUOTE(OLD.jobbprism), ' -> ', QUOTE(NEW.jobbprism)), NULL),
    IF(NOT (BINARY OLD.jobbegyeb <=> BINARY NEW.jobbegyeb), CONCAT('jobbegyeb: ', QUOTE(OLD.jobbegyeb), ' -> ', QUOTE(NEW.jobbegyeb)), NULL),
    IF(NOT (BINARY OLD.balsph <=> BINARY NEW.balsph), CONCAT('balsph: ', QUOTE(OLD.balsph), ' -> ', QUOTE(NEW.balsph)), NULL),
    IF(NOT (BINARY OLD.balcyl <=> BINARY NEW.balcyl), CONCAT('balcyl: ', QUOTE(OLD.balcyl), ' -> ', QUOTE(NEW.balcyl)), NULL),
    IF(NOT (BINARY OLD.balax <=> BINARY NEW.balax), CONCAT('balax: ', QUOTE(OLD.balax), ' -> ', QUOTE(NEW.balax)), NULL),
    IF(NOT (BINARY OLD.balpd <=> BINARY NEW.balpd), CONCAT('balpd: ', QUOTE(OLD.balpd), ' -> ', QUOTE(NEW.balpd)), NULL),
    IF(NOT (BINARY OLD.balprism <=> BINARY NEW.balprism), CONCAT('balprism: ', QUOTE(OLD.balprism), ' -> ', QUOTE(NEW.balprism)), NULL),
    IF(NOT (BINARY OLD.balegyeb <=> BINARY NEW.balegyeb), CONCAT('balegyeb: ', QUOTE(OLD.balegyeb), ' -> ', QUOTE(NEW.balegyeb)), NULL),
    IF(NOT (BINARY OLD.ar_keret <=> BINARY NEW.ar_keret), CONCAT('ar_keret: ', IFNULL(CAST(OLD.ar_keret AS CHAR), 'NULL'), ' -> ', IFNULL(CAST(NEW.ar_keret AS CHAR), 'NULL')), NULL),
    IF(NOT (BINARY OLD.ar_jobb <=> BINARY NEW.ar_jobb), CONCAT('ar_jobb: ', IFNULL(CAST(OLD.ar_jobb AS CHAR), 'NULL'), ' -> ', IFNULL(CAST(NEW.ar_jobb AS CHAR), 'NULL')), NULL),
    IF(NOT (BINARY OLD.ar_bal <=> BINARY NEW.ar_bal), CONCAT('ar_bal: ', IFNULL(CAST(OLD.ar_bal AS CHAR), 'NULL'), ' -> ', IFNULL(CAST(NEW.ar_bal AS CHAR), 'NULL')), NULL),
    IF(NOT (BINARY OLD.ar_adaptalas <=> BINARY NEW.ar_adaptalas), CONCAT('ar_adaptalas: ', IFNULL(CAST(OLD.ar_adaptalas AS CHAR), 'NULL'), ' -> ', IFNULL(CAST(NEW.ar_adaptalas AS CHAR), 'NULL')), NULL),
    IF(NOT (BINARY OLD.szoveg_adaptalas <=> BINARY NEW.szoveg_adaptalas), CONCAT('szoveg_adaptalas: ', QUOTE(OLD.szoveg_adaptalas), ' -> ', QUOTE(NEW.szoveg_adaptalas)), NULL),
    IF(NOT (BINARY OLD.ar_szinezes <=> BINARY NEW.ar_szinezes), CONCAT('ar_szinezes: ', IFNULL(CAST(OLD.ar_szinezes AS CHAR), 'NULL'), ' -> ', IFNULL(CAST(NEW.ar_szinezes AS CHAR), 'NULL')), NULL),
    IF(NOT (BINARY OLD.szoveg_szinezes <=> BINARY NEW.szoveg_szinezes), CONCAT('szoveg_szinezes: ', QUOTE(OLD.szoveg_szinezes), ' -> ', QUOTE(NEW.szoveg_szinezes)), NULL),
    IF(NOT (BINARY OLD.ar_egyeb1 <=> BINARY NEW.ar_egyeb1), CONCAT('ar_egyeb1: ', IFNULL(CAST(OLD.ar_egyeb1 AS CHAR), 'NULL'), ' -> ', IFNULL(CAST(NEW.ar_egyeb1 AS CHAR), 'NULL')), NULL),
    IF(NOT (BINARY OLD.szoveg_egyeb1 <=> BINARY NEW.szoveg_egyeb1), CONCAT('szoveg_egyeb1: ', QUOTE(OLD.szoveg_egyeb1), ' -> ', QUOTE(NEW.szoveg_egyeb1)), NULL),
    IF(NOT (BINARY OLD.ar_egyeb2 <=> BINARY NEW.ar_egyeb2), CONCAT('ar_egyeb2: ', IFNULL(CAST(OLD.ar_egyeb2 AS CHAR), 'NULL'), ' -> ', IFNULL(CAST(NEW.ar_egyeb2 AS CHAR), 'NULL')), NULL),
    IF(NOT (BINARY OLD.szoveg_egyeb2 <=> BINARY NEW.szoveg_egyeb2), CONCAT('szoveg_egyeb2: ', QUOTE(OLD.szoveg_egyeb2), ' -> ', QUOTE(NEW.szoveg_egyeb2)), NULL),
    IF(NOT (BINARY OLD.ar_kedvezmeny <=> BINARY NEW.ar_kedvezmeny), CONCAT('ar_kedvezmeny: ', IFNULL(CAST(OLD.ar_kedvezmeny AS CHAR), 'NULL'), ' -> ', IFNULL(CAST(NEW.ar_kedvezmeny AS CHAR), 'NULL')), NULL),
    IF(NOT (BINARY OLD.szoveg_kedvezmeny <=> BINARY NEW.szoveg_kedvezmeny), CONCAT('szoveg_kedvezmeny: ', QUOTE(OLD.szoveg_kedvezmeny), ' -> ', QUOTE(NEW.szoveg_kedvezmeny)), NULL),
    IF(NOT (BINARY OLD.keretszazalek <=> BINARY NEW.keretszazalek), CONCAT('keretszazalek: ', IFNULL(CAST(OLD.keretszazalek AS CHAR), 'NULL'), ' -> ', IFNULL(CAST(NEW.keretszazalek AS CHAR), 'NULL')), NULL),
    IF(NOT (BINARY OLD.lencseszazalek <=> BINARY NEW.lencseszazalek), CONCAT('lencseszazalek: ', IFNULL(CAST(OLD.lencseszazalek AS CHAR), 'NULL'), ' -> ', IFNULL(CAST(NEW.lencseszazalek AS CHAR), 'NULL')), NULL),
    IF(NOT (BINARY OLD.eloleg <=> BINARY NEW.eloleg), CONCAT('eloleg: ', IFNULL(CAST(OLD.eloleg AS CHAR), 'NULL'), ' -> ', IFNULL(CAST(NEW.eloleg AS CHAR), 'NULL')), NULL),
    IF(NOT (BINARY OLD.osszar <=> BINARY NEW.osszar), CONCAT('osszar: ', IFNULL(CAST(OLD.osszar AS CHAR), 'NULL'), ' -> ', IFNULL(CAST(NEW.osszar AS CHAR), 'NULL')), NULL),
    IF(NOT (BINARY OLD.fizetendo <=> BINARY NEW.fizetendo), CONCAT('fizetendo: ', IFNULL(CAST(OLD.fizetendo AS CHAR), 'NULL'), ' -> ', IFNULL(CAST(NEW.fizetendo AS CHAR), 'NULL')), NULL),
    IF(NOT (BINARY OLD.megj <=> BINARY NEW.megj), CONCAT('megj: ', QUOTE(OLD.megj), ' -> ', QUOTE(NEW.megj)), NULL),
    IF(NOT (BINARY OLD.storno <=> BINARY NEW.storno), CONCAT('storno: ', QUOTE(OLD.storno), ' -> ', QUOTE(NEW.storno)), NULL));
  IF v_reszlet <> '' THEN
    INSERT INTO naplo (idopont, felhasznalo, tabla, kulcs, ugyfel, muvelet, reszlet)
    VALUES (NOW(), LEFT(COALESCE(NULLIF(@qo_felhasznalo, ''), SESSION_USER()), 150), 'munkalap', NEW.munkalap, NEW.ugyfel, 'UPDATE', v_reszlet);
  END IF;
END$$

DROP TRIGGER IF EXISTS tr_munkalap_naplo_del$$
CREATE TRIGGER tr_munkalap_naplo_del AFTER DELETE ON munkalap FOR EACH ROW
BEGIN
  INSERT INTO naplo (idopont, felhasznalo, tabla, kulcs, ugyfel, muvelet, reszlet)
  VALUES (NOW(), LEFT(COALESCE(NULLIF(@qo_felhasznalo, ''), SESSION_USER()), 150), 'munkalap', OLD.munkalap, OLD.ugyfel, 'DELETE', CONCAT_WS(', ', CONCAT('ugyfel: ', IFNULL(CAST(OLD.ugyfel AS CHAR), 'NULL')), CONCAT('mlaptipus: ', IFNULL(CAST(OLD.mlaptipus AS CHAR), 'NULL')), CONCAT('statusz: ', IFNULL(CAST(OLD.statusz AS CHAR), 'NULL')), CONCAT('storno: ', QUOTE(OLD.storno))));
END$$

DROP TRIGGER IF EXISTS tr_felhasznalo_naplo_ins$$
CREATE TRIGGER tr_felhasznalo_naplo_ins AFTER INSERT ON felhasznalo FOR EACH ROW
BEGIN
  INSERT INTO naplo (idopont, felhasznalo, tabla, kulcs, ugyfel, muvelet, reszlet)
  VALUES (NOW(), LEFT(COALESCE(NULLIF(@qo_felhasznalo, ''), SESSION_USER()), 150), 'felhasznalo', NEW.felhasznalo, NULL, 'INSERT', CONCAT_WS(', ', CONCAT('felhasznalo_nev: ', QUOTE(NEW.felhasznalo_nev)), CONCAT('rendszergazda: ', QUOTE(NEW.rendszergazda)), CONCAT('torzsszerkeszt: ', QUOTE(NEW.torzsszerkeszt)), CONCAT('canins: ', QUOTE(NEW.canins)), CONCAT('canedit: ', QUOTE(NEW.canedit)), CONCAT('candel: ', QUOTE(NEW.candel))));
END$$

DROP TRIGGER IF EXISTS tr_felhasznalo_naplo_upd$$
CREATE TRIGGER tr_felhasznalo_naplo_upd AFTER UPDATE ON felhasznalo FOR EACH ROW
BEGIN
  DECLARE v_reszlet MEDIUMTEXT;
  SET v_reszlet = CONCAT_WS(CHAR(10 USING latin2),
    IF(NOT (BINARY OLD.felhasznalo <=> BINARY NEW.felhasznalo), CONCAT('felhasznalo: ', QUOTE(OLD.felhasznalo), ' -> ', QUOTE(NEW.felhasznalo)), NULL),
    IF(NOT (BINARY OLD.felhasznalo_nev <=> BINARY NEW.felhasznalo_nev), CONCAT('felhasznalo_nev: ', QUOTE(OLD.felhasznalo_nev), ' -> ', QUOTE(NEW.felhasznalo_nev)), NULL),
    IF(NOT (BINARY OLD.jelszo <=> BINARY NEW.jelszo), 'jelszo: (megváltozott)', NULL),
    IF(NOT (BINARY OLD.rendszergazda <=> BINARY NEW.rendszergazda), CONCAT('rendszergazda: ', QUOTE(OLD.rendszergazda), ' -> ', QUOTE(NEW.rendszergazda)), NULL),
    IF(NOT (BINARY OLD.torzsszerkeszt <=> BINARY NEW.torzsszerkeszt), CONCAT('torzsszerkeszt: ', QUOTE(OLD.torzsszerkeszt), ' -> ', QUOTE(NEW.torzsszerkeszt)), NULL),
    IF(NOT (BINARY OLD.canins <=> BINARY NEW.canins), CONCAT('canins: ', QUOTE(OLD.canins), ' -> ', QUOTE(NEW.canins)), NULL),
    IF(NOT (BINARY OLD.canedit <=> BINARY NEW.canedit), CONCAT('canedit: ', QUOTE(OLD.canedit), ' -> ', QUOTE(NEW.canedit)), NULL),
    IF(NOT (BINARY OLD.candel <=> BINARY NEW.candel), CONCAT('candel: ', QUOTE(OLD.candel), ' -> ', QUOTE(NEW.candel)), NULL));
  IF v_reszlet <> '' THEN
    INSERT INTO naplo (idopont, felhasznalo, tabla, kulcs, ugyfel, muvelet, reszlet)
    VALUES (NOW(), LEFT(COALESCE(NULLIF(@qo_felhasznalo, ''), SESSION_USER()), 150), 'felhasznalo', NEW.felhasznalo, NULL, 'UPDATE', v_reszlet);
  END IF;
END$$

DROP TRIGGER IF EXISTS tr_felhasznalo_naplo_del$$
CREATE TRIGGER tr_felhasznalo_naplo_del AFTER DELETE ON felhasznalo FOR EACH ROW
BEGIN
  INSERT INTO naplo (idopont, felhasznalo, tabla, kulcs, ugyfel, muvelet, reszlet)
  VALUES (NOW(), LEFT(COALESCE(NULLIF(@qo_felhasznalo, ''), SESSION_USER()), 150), 'felhasznalo', OLD.felhasznalo, NULL, 'DELETE', CONCAT_WS(', ', CONCAT('felhasznalo_nev: ', QUOTE(OLD.felhasznalo_nev)), CONCAT('rendszergazda: ', QUOTE(OLD.rendszergazda)), CONCAT('torzsszerkeszt: ', QUOTE(OLD.torzsszerkeszt)), CONCAT('canins: ', QUOTE(OLD.canins)), CONCAT('canedit: ', QUOTE(OLD.canedit)), CONCAT('candel: ', QUOTE(OLD.candel))));
END$$

DELIMITER ;
