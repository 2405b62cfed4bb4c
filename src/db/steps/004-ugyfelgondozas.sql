-- Client care.
--
-- recept_elozmeny: every state a prescription row has had. Server triggers on
-- the four prescription tables add a row whenever a row is inserted or one of
-- its values changes, from this program, the SQL console or any other client.
-- fajta names the table (TAVOL, KOZEL, EGYEB, KONTAKT), kulcs and oldal are the
-- prescription row's; ervenyes is the moment the values became valid,
-- felhasznalo who stored them (the program's session variable @qo_felhasznalo,
-- else the database account). A new row without any value (a new client's
-- empty sides) is not an entry. The rows present at the upgrade are the first
-- entries, valid from the moment of the upgrade.
--
-- ertesites: which client was told of a reminder, when and how (csatorna:
-- LEVEL, SMS, EMAIL as in hozzajarulas.cel), for the reminder period tol..ig,
-- so that a second run of the reminder list for the same period leaves the
-- client out.
--
-- beallit: emlek_honap, months after the last work order when a client is due
-- again; nemvitt_nap, days after which a finished order not taken away is
-- listed; emlek_level, the text of the reminder letter (empty: the program's
-- own text).

CREATE TABLE IF NOT EXISTS recept_elozmeny (
  recept_elozmeny  BIGINT NOT NULL AUTO_INCREMENT,
  ugyfel           INT NOT NULL,
  fajta            VARCHAR(10) NOT NULL,
  kulcs            INT NOT NULL,
  oldal            VARCHAR(5),
  sph              VARCHAR(10),
  cyl              VARCHAR(10),
  ax               VARCHAR(10),
  prism            VARCHAR(10),
  pd               VARCHAR(10),
  gorb             VARCHAR(10),
  bc               VARCHAR(10),
  dia              VARCHAR(10),
  ervenyes         DATETIME NOT NULL,
  felhasznalo      VARCHAR(150),
  PRIMARY KEY (recept_elozmeny),
  KEY ix_recept_elozmeny_ugyfel (ugyfel, fajta, ervenyes),
  CONSTRAINT fk_recept_elozmeny_ugyfel FOREIGN KEY (ugyfel) REFERENCES ugyfel (ugyfel)
    ON DELETE CASCADE ON UPDATE CASCADE
) ENGINE=InnoDB DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci;

CREATE TABLE IF NOT EXISTS ertesites (
  ertesites    INT NOT NULL AUTO_INCREMENT,
  ugyfel       INT NOT NULL,
  datum        DATETIME NOT NULL,
  csatorna     VARCHAR(10) NOT NULL,
  tol          DATE,
  ig           DATE,
  felhasznalo  VARCHAR(150),
  PRIMARY KEY (ertesites),
  KEY ix_ertesites_ugyfel (ugyfel, tol, ig),
  CONSTRAINT fk_ertesites_ugyfel FOREIGN KEY (ugyfel) REFERENCES ugyfel (ugyfel)
    ON DELETE CASCADE ON UPDATE CASCADE
) ENGINE=InnoDB DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci;

ALTER TABLE beallit ADD COLUMN IF NOT EXISTS emlek_honap INT NOT NULL DEFAULT 24;
ALTER TABLE beallit ADD COLUMN IF NOT EXISTS nemvitt_nap INT NOT NULL DEFAULT 14;
ALTER TABLE beallit ADD COLUMN IF NOT EXISTS emlek_level TEXT;

INSERT INTO recept_elozmeny (ugyfel, fajta, kulcs, oldal, sph, cyl, ax, prism, pd, ervenyes, felhasznalo)
SELECT ugyfel, 'TAVOL', kulcs, oldal, sph, cyl, ax, prism, pd, NOW(), LEFT(COALESCE(NULLIF(@qo_felhasznalo, ''), SESSION_USER()), 150)
FROM ugyfel_sz_tavol
WHERE COALESCE(NULLIF(sph, ''), NULLIF(cyl, ''), NULLIF(ax, ''), NULLIF(prism, ''), NULLIF(pd, '')) IS NOT NULL
  AND NOT EXISTS (SELECT 1 FROM recept_elozmeny WHERE fajta = 'TAVOL');

INSERT INTO recept_elozmeny (ugyfel, fajta, kulcs, oldal, sph, cyl, ax, prism, pd, ervenyes, felhasznalo)
SELECT ugyfel, 'KOZEL', kulcs, oldal, sph, cyl, ax, prism, pd, NOW(), LEFT(COALESCE(NULLIF(@qo_felhasznalo, ''), SESSION_USER()), 150)
FROM ugyfel_sz_kozel
WHERE COALESCE(NULLIF(sph, ''), NULLIF(cyl, ''), NULLIF(ax, ''), NULLIF(prism, ''), NULLIF(pd, '')) IS NOT NULL
  AND NOT EXISTS (SELECT 1 FROM recept_elozmeny WHERE fajta = 'KOZEL');

INSERT INTO recept_elozmeny (ugyfel, fajta, kulcs, oldal, sph, cyl, ax, prism, pd, ervenyes, felhasznalo)
SELECT ugyfel, 'EGYEB', kulcs, oldal, sph, cyl, ax, prism, pd, NOW(), LEFT(COALESCE(NULLIF(@qo_felhasznalo, ''), SESSION_USER()), 150)
FROM ugyfel_sz_egyeb
WHERE COALESCE(NULLIF(sph, ''), NULLIF(cyl, ''), NULLIF(ax, ''), NULLIF(prism, ''), NULLIF(pd, '')) IS NOT NULL
  AND NOT EXISTS (SELECT 1 FROM recept_elozmeny WHERE fajta = 'EGYEB');

INSERT INTO recept_elozmeny (ugyfel, fajta, kulcs, oldal, sph, cyl, gorb, ax, bc, dia, ervenyes, felhasznalo)
SELECT ugyfel, 'KONTAKT', kulcs, oldal, sph, cyl, gorb, ax, bc, dia, NOW(), LEFT(COALESCE(NULLIF(@qo_felhasznalo, ''), SESSION_USER()), 150)
FROM ugyfel_k
WHERE COALESCE(NULLIF(sph, ''), NULLIF(cyl, ''), NULLIF(gorb, ''), NULLIF(ax, ''), NULLIF(bc, ''), NULLIF(dia, '')) IS NOT NULL
  AND NOT EXISTS (SELECT 1 FROM recept_elozmeny WHERE fajta = 'KONTAKT');

DELIMITER $$

DROP TRIGGER IF EXISTS tr_ugyfel_sz_tavol_elozmeny_ins$$
CREATE TRIGGER tr_ugyfel_sz_tavol_elozmeny_ins AFTER INSERT ON ugyfel_sz_tavol FOR EACH ROW
BEGIN
  IF COALESCE(NULLIF(NEW.sph, ''), NULLIF(NEW.cyl, ''), NULLIF(NEW.ax, ''), NULLIF(NEW.prism, ''), NULLIF(NEW.pd, '')) IS NOT NULL THEN
    INSERT INTO recept_elozmeny (ugyfel, fajta, kulcs, oldal, sph, cyl, ax, prism, pd, ervenyes, felhasznalo)
    VALUES (NEW.ugyfel, 'TAVOL', NEW.kulcs, NEW.oldal, NEW.sph, NEW.cyl, NEW.ax, NEW.prism, NEW.pd, NOW(), LEFT(COALESCE(NULLIF(@qo_felhasznalo, ''), SESSION_USER()), 150));
  END IF;
END$$

DROP TRIGGER IF EXISTS tr_ugyfel_sz_tavol_elozmeny_upd$$
CREATE TRIGGER tr_ugyfel_sz_tavol_elozmeny_upd AFTER UPDATE ON ugyfel_sz_tavol FOR EACH ROW
BEGIN
  IF NOT (BINARY OLD.ugyfel <=> BINARY NEW.ugyfel)
     OR NOT (BINARY OLD.kulcs <=> BINARY NEW.kulcs)
     OR NOT (BINARY OLD.oldal <=> BINARY NEW.oldal)
     OR NOT (BINARY OLD.sph <=> BINARY NEW.sph)
     OR NOT (BINARY OLD.cyl <=> BINARY NEW.cyl)
     OR NOT (BINARY OLD.ax <=> BINARY NEW.ax)
     OR NOT (BINARY OLD.prism <=> BINARY NEW.prism)
     OR NOT (BINARY OLD.pd <=> BINARY NEW.pd) THEN
    INSERT INTO recept_elozmeny (ugyfel, fajta, kulcs, oldal, sph, cyl, ax, prism, pd, ervenyes, felhasznalo)
    VALUES (NEW.ugyfel, 'TAVOL', NEW.kulcs, NEW.oldal, NEW.sph, NEW.cyl, NEW.ax, NEW.prism, NEW.pd, NOW(), LEFT(COALESCE(NULLIF(@qo_felhasznalo, ''), SESSION_USER()), 150));
  END IF;
END$$

DROP TRIGGER IF EXISTS tr_ugyfel_sz_kozel_elozmeny_ins$$
CREATE TRIGGER tr_ugyfel_sz_kozel_elozmeny_ins AFTER INSERT ON ugyfel_sz_kozel FOR EACH ROW
BEGIN
  IF COALESCE(NULLIF(NEW.sph, ''), NULLIF(NEW.cyl, ''), NULLIF(NEW.ax, ''), NULLIF(NEW.prism, ''), NULLIF(NEW.pd, '')) IS NOT NULL THEN
    INSERT INTO recept_elozmeny (ugyfel, fajta, kulcs, oldal, sph, cyl, ax, prism, pd, ervenyes, felhasznalo)
    VALUES (NEW.ugyfel, 'KOZEL', NEW.kulcs, NEW.oldal, NEW.sph, NEW.cyl, NEW.ax, NEW.prism, NEW.pd, NOW(), LEFT(COALESCE(NULLIF(@qo_felhasznalo, ''), SESSION_USER()), 150));
  END IF;
END$$

DROP TRIGGER IF EXISTS tr_ugyfel_sz_kozel_elozmeny_upd$$
CREATE TRIGGER tr_ugyfel_sz_kozel_elozmeny_upd AFTER UPDATE ON ugyfel_sz_kozel FOR EACH ROW
BEGIN
  IF NOT (BINARY OLD.ugyfel <=> BINARY NEW.ugyfel)
     OR NOT (BINARY OLD.kulcs <=> BINARY NEW.kulcs)
     OR NOT (BINARY OLD.oldal <=> BINARY NEW.oldal)
     OR NOT (BINARY OLD.sph <=> BINARY NEW.sph)
     OR NOT (BINARY OLD.cyl <=> BINARY NEW.cyl)
     OR NOT (BINARY OLD.ax <=> BINARY NEW.ax)
     OR NOT (BINARY OLD.prism <=> BINARY NEW.prism)
     OR NOT (BINARY OLD.pd <=> BINARY NEW.pd) THEN
    INSERT INTO recept_elozmeny (ugyfel, fajta, kulcs, oldal, sph, cyl, ax, prism, pd, ervenyes, felhasznalo)
    VALUES (NEW.ugyfel, 'KOZEL', NEW.kulcs, NEW.oldal, NEW.sph, NEW.cyl, NEW.ax, NEW.prism, NEW.pd, NOW(), LEFT(COALESCE(NULLIF(@qo_felhasznalo, ''), SESSION_USER()), 150));
  END IF;
END$$

DROP TRIGGER IF EXISTS tr_ugyfel_sz_egyeb_elozmeny_ins$$
CREATE TRIGGER tr_ugyfel_sz_egyeb_elozmeny_ins AFTER INSERT ON ugyfel_sz_egyeb FOR EACH ROW
BEGIN
  IF COALESCE(NULLIF(NEW.sph, ''), NULLIF(NEW.cyl, ''), NULLIF(NEW.ax, ''), NULLIF(NEW.prism, ''), NULLIF(NEW.pd, '')) IS NOT NULL THEN
    INSERT INTO recept_elozmeny (ugyfel, fajta, kulcs, oldal, sph, cyl, ax, prism, pd, ervenyes, felhasznalo)
    VALUES (NEW.ugyfel, 'EGYEB', NEW.kulcs, NEW.oldal, NEW.sph, NEW.cyl, NEW.ax, NEW.prism, NEW.pd, NOW(), LEFT(COALESCE(NULLIF(@qo_felhasznalo, ''), SESSION_USER()), 150));
  END IF;
END$$

DROP TRIGGER IF EXISTS tr_ugyfel_sz_egyeb_elozmeny_upd$$
CREATE TRIGGER tr_ugyfel_sz_egyeb_elozmeny_upd AFTER UPDATE ON ugyfel_sz_egyeb FOR EACH ROW
BEGIN
  IF NOT (BINARY OLD.ugyfel <=> BINARY NEW.ugyfel)
     OR NOT (BINARY OLD.kulcs <=> BINARY NEW.kulcs)
     OR NOT (BINARY OLD.oldal <=> BINARY NEW.oldal)
     OR NOT (BINARY OLD.sph <=> BINARY NEW.sph)
     OR NOT (BINARY OLD.cyl <=> BINARY NEW.cyl)
     OR NOT (BINARY OLD.ax <=> BINARY NEW.ax)
     OR NOT (BINARY OLD.prism <=> BINARY NEW.prism)
     OR NOT (BINARY OLD.pd <=> BINARY NEW.pd) THEN
    INSERT INTO recept_elozmeny (ugyfel, fajta, kulcs, oldal, sph, cyl, ax, prism, pd, ervenyes, felhasznalo)
    VALUES (NEW.ugyfel, 'EGYEB', NEW.kulcs, NEW.oldal, NEW.sph, NEW.cyl, NEW.ax, NEW.prism, NEW.pd, NOW(), LEFT(COALESCE(NULLIF(@qo_felhasznalo, ''), SESSION_USER()), 150));
  END IF;
END$$

DROP TRIGGER IF EXISTS tr_ugyfel_k_elozmeny_ins$$
CREATE TRIGGER tr_ugyfel_k_elozmeny_ins AFTER INSERT ON ugyfel_k FOR EACH ROW
BEGIN
  IF COALESCE(NULLIF(NEW.sph, ''), NULLIF(NEW.cyl, ''), NULLIF(NEW.gorb, ''), NULLIF(NEW.ax, ''), NULLIF(NEW.bc, ''), NULLIF(NEW.dia, '')) IS NOT NULL THEN
    INSERT INTO recept_elozmeny (ugyfel, fajta, kulcs, oldal, sph, cyl, gorb, ax, bc, dia, ervenyes, felhasznalo)
    VALUES (NEW.ugyfel, 'KONTAKT', NEW.kulcs, NEW.oldal, NEW.sph, NEW.cyl, NEW.gorb, NEW.ax, NEW.bc, NEW.dia, NOW(), LEFT(COALESCE(NULLIF(@qo_felhasznalo, ''), SESSION_USER()), 150));
  END IF;
END$$

DROP TRIGGER IF EXISTS tr_ugyfel_k_elozmeny_upd$$
CREATE TRIGGER tr_ugyfel_k_elozmeny_upd AFTER UPDATE ON ugyfel_k FOR EACH ROW
BEGIN
  IF NOT (BINARY OLD.ugyfel <=> BINARY NEW.ugyfel)
     OR NOT (BINARY OLD.kulcs <=> BINARY NEW.kulcs)
     OR NOT (BINARY OLD.oldal <=> BINARY NEW.oldal)
     OR NOT (BINARY OLD.sph <=> BINARY NEW.sph)
     OR NOT (BINARY OLD.cyl <=> BINARY NEW.cyl)
     OR NOT (BINARY OLD.gorb <=> BINARY NEW.gorb)
     OR NOT (BINARY OLD.ax <=> BINARY NEW.ax)
     OR NOT (BINARY OLD.bc <=> BINARY NEW.bc)
     OR NOT (BINARY OLD.dia <=> BINARY NEW.dia) THEN
    INSERT INTO recept_elozmeny (ugyfel, fajta, kulcs, oldal, sph, cyl, gorb, ax, bc, dia, ervenyes, felhasznalo)
    VALUES (NEW.ugyfel, 'KONTAKT', NEW.kulcs, NEW.oldal, NEW.sph, NEW.cyl, NEW.gorb, NEW.ax, NEW.bc, NEW.dia, NOW(), LEFT(COALESCE(NULLIF(@qo_felhasznalo, ''), SESSION_USER()), 150));
  END IF;
END$$

DELIMITER ;
