-- Quorvin.Opt shop database: tables, views, procedures and the rows a new shop
-- starts with. Load it into an EMPTY database with the command-line client:
--
--     mariadb DBNAME < shop.sql
--
-- The file is UTF-8; the SET NAMES below tells the server so, and the server
-- converts the accented seed texts into the latin2 columns. The program itself
-- talks latin2 (SET NAMES 'latin2' COLLATE 'latin2_hungarian_ci').
--
-- Integrity: work orders and examinations refer to their client, work orders
-- to their kind, status and brands, all with ON DELETE RESTRICT, so a hard
-- DELETE of a client or brand that is still in use is refused by the server.
-- "No brand" is NULL, never 0. The prescription rows go with their client
-- (ON DELETE CASCADE).
--
-- Restoring a data backup (TRUNCATE t; INSERT IGNORE INTO t ... per table, in
-- any table order) must run with SET FOREIGN_KEY_CHECKS=0: InnoDB refuses to
-- TRUNCATE a table that a foreign key refers to while the checks are on, and
-- child rows may arrive before their parents. The audit triggers (step 001
-- below) record the restore's inserts in naplo like any other change.

SET NAMES utf8mb4;
-- The database given on the command line becomes latin2 / Hungarian collation.
ALTER DATABASE CHARACTER SET latin2 COLLATE latin2_hungarian_ci;
SET default_storage_engine = InnoDB;

-- ---------------------------------------------------------------------------
-- Master tables
-- ---------------------------------------------------------------------------

CREATE TABLE mlaptipus (
  mlaptipus      INT NOT NULL AUTO_INCREMENT,
  mlaptipus_nev  VARCHAR(50),
  szoveg         TEXT,
  PRIMARY KEY (mlaptipus)
) ENGINE=InnoDB DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci;

CREATE TABLE lencsemarka (
  lencsemarka      INT NOT NULL AUTO_INCREMENT,
  lencsemarka_nev  VARCHAR(50),
  PRIMARY KEY (lencsemarka),
  KEY ix_lencsemarka_nev (lencsemarka_nev)
) ENGINE=InnoDB DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci;

CREATE TABLE keretmarka (
  keretmarka      INT NOT NULL AUTO_INCREMENT,
  keretmarka_nev  VARCHAR(50),
  PRIMARY KEY (keretmarka),
  KEY ix_keretmarka_nev (keretmarka_nev)
) ENGINE=InnoDB DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci;

CREATE TABLE statusz (
  statusz      INT NOT NULL,
  statusz_nev  VARCHAR(50),
  PRIMARY KEY (statusz)
) ENGINE=InnoDB DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci;

-- Client groups; only their names are read (vw_ugyfel.csoport_nev).
-- ugyfel.csoport has no foreign key: it is a loose label, 0 or NULL = none.
CREATE TABLE csoport (
  csoport      INT NOT NULL AUTO_INCREMENT,
  csoport_nev  VARCHAR(50),
  PRIMARY KEY (csoport)
) ENGINE=InnoDB DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci;

-- Postal-code directory. One code may serve several places and a town has
-- many codes, so the pair is the key.
CREATE TABLE irsz (
  irsz   VARCHAR(10) NOT NULL,
  varos  VARCHAR(50) NOT NULL,
  PRIMARY KEY (irsz, varos),
  KEY ix_irsz_varos (varos)
) ENGINE=InnoDB DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci;

-- ---------------------------------------------------------------------------
-- Clients and their prescriptions
-- ---------------------------------------------------------------------------

CREATE TABLE ugyfel (
  ugyfel            INT NOT NULL AUTO_INCREMENT,
  ugyfel_nev        VARCHAR(75),
  vnev              VARCHAR(30),
  knev              VARCHAR(30),
  kapcsolat         VARCHAR(50),
  telefon           VARCHAR(100),
  emil              VARCHAR(75),
  honlap            VARCHAR(75),
  cim_irsz          VARCHAR(10),
  cim_varos         VARCHAR(50),
  cim_cim           VARCHAR(50),
  torolve           CHAR(1) NOT NULL DEFAULT 'N',
  dat_utolso        DATE,
  dat_figyelmeztet  DATE,
  csoport           INT,
  megjegyzes        TEXT,
  keret             VARCHAR(20),
  keretszam         VARCHAR(20),
  szuldatum         VARCHAR(10),
  PRIMARY KEY (ugyfel),
  KEY ix_ugyfel_nev (ugyfel_nev),
  KEY ix_ugyfel_telefon (telefon),
  KEY ix_ugyfel_figyelmeztet (dat_figyelmeztet)
) ENGINE=InnoDB DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci;

-- Two rows per client: kulcs 1 is the right eye, kulcs 2 the left one.
CREATE TABLE ugyfel_sz_tavol (
  ugyfel  INT NOT NULL,
  kulcs   INT NOT NULL,
  oldal   VARCHAR(5),
  sph     VARCHAR(10),
  cyl     VARCHAR(10),
  ax      VARCHAR(10),
  prism   VARCHAR(10),
  pd      VARCHAR(10),
  PRIMARY KEY (ugyfel, kulcs),
  CONSTRAINT fk_sz_tavol_ugyfel FOREIGN KEY (ugyfel) REFERENCES ugyfel (ugyfel)
    ON DELETE CASCADE ON UPDATE CASCADE
) ENGINE=InnoDB DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci;

CREATE TABLE ugyfel_sz_kozel (
  ugyfel  INT NOT NULL,
  kulcs   INT NOT NULL,
  oldal   VARCHAR(5),
  sph     VARCHAR(10),
  cyl     VARCHAR(10),
  ax      VARCHAR(10),
  prism   VARCHAR(10),
  pd      VARCHAR(10),
  PRIMARY KEY (ugyfel, kulcs),
  CONSTRAINT fk_sz_kozel_ugyfel FOREIGN KEY (ugyfel) REFERENCES ugyfel (ugyfel)
    ON DELETE CASCADE ON UPDATE CASCADE
) ENGINE=InnoDB DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci;

CREATE TABLE ugyfel_sz_egyeb (
  ugyfel  INT NOT NULL,
  kulcs   INT NOT NULL,
  oldal   VARCHAR(5),
  sph     VARCHAR(10),
  cyl     VARCHAR(10),
  ax      VARCHAR(10),
  prism   VARCHAR(10),
  pd      VARCHAR(10),
  PRIMARY KEY (ugyfel, kulcs),
  CONSTRAINT fk_sz_egyeb_ugyfel FOREIGN KEY (ugyfel) REFERENCES ugyfel (ugyfel)
    ON DELETE CASCADE ON UPDATE CASCADE
) ENGINE=InnoDB DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci;

-- Contact lenses: bc = base curve, dia = diameter, gorb = curvature.
CREATE TABLE ugyfel_k (
  ugyfel  INT NOT NULL,
  kulcs   INT NOT NULL,
  oldal   VARCHAR(5),
  sph     VARCHAR(10),
  cyl     VARCHAR(10),
  gorb    VARCHAR(10),
  ax      VARCHAR(10),
  bc      VARCHAR(10),
  dia     VARCHAR(10),
  PRIMARY KEY (ugyfel, kulcs),
  CONSTRAINT fk_k_ugyfel FOREIGN KEY (ugyfel) REFERENCES ugyfel (ugyfel)
    ON DELETE CASCADE ON UPDATE CASCADE
) ENGINE=InnoDB DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci;

-- ---------------------------------------------------------------------------
-- Examinations
-- ---------------------------------------------------------------------------

CREATE TABLE vizsgalat (
  vizsgalat    INT NOT NULL AUTO_INCREMENT,
  ugyfel       INT,
  datum        DATE,
  -- "Jelenlegi": the spectacles the client came with
  jobbsph1     VARCHAR(10),
  jobbcyl1     VARCHAR(10),
  jobbax1      VARCHAR(10),
  jobbfpd1     VARCHAR(10),
  jobbadd1     VARCHAR(10),
  jobbprism1   VARCHAR(10),
  jobbegyeb1   VARCHAR(10),
  balsph1      VARCHAR(10),
  balcyl1      VARCHAR(10),
  balax1       VARCHAR(10),
  balfpd1      VARCHAR(10),
  baladd1      VARCHAR(10),
  balprism1    VARCHAR(10),
  balegyeb1    VARCHAR(10),
  -- "Autorefrakto-keratometria"
  jobbsph2     VARCHAR(10),
  jobbcyl2     VARCHAR(10),
  jobbax2      VARCHAR(10),
  jobbbcmin2   VARCHAR(10),
  jobbbcmax2   VARCHAR(10),
  jobbbcatl2   VARCHAR(10),
  jobbefpd2    VARCHAR(10),
  balsph2      VARCHAR(10),
  balcyl2      VARCHAR(10),
  balax2       VARCHAR(10),
  balbcmin2    VARCHAR(10),
  balbcmax2    VARCHAR(10),
  balbcatl2    VARCHAR(10),
  balefpd2     VARCHAR(10),
  -- "Vizsgálati eredmények"
  jobbnyersv3  VARCHAR(10),
  jobbsph3     VARCHAR(10),
  jobbcyl3     VARCHAR(10),
  jobbax3      VARCHAR(10),
  jobbfpd3     VARCHAR(10),
  jobbadd3     VARCHAR(10),
  jobbprism3   VARCHAR(10),
  jobbegyeb3   VARCHAR(10),
  balnyersv3   VARCHAR(10),
  balsph3      VARCHAR(10),
  balcyl3      VARCHAR(10),
  balax3       VARCHAR(10),
  balfpd3      VARCHAR(10),
  baladd3      VARCHAR(10),
  balprism3    VARCHAR(10),
  balegyeb3    VARCHAR(10),
  -- corrected visual acuity; the left one is spelled with one "r"
  jobbkorrv3   VARCHAR(10),
  balkorv3     VARCHAR(10),
  anamnezis    TEXT,
  diagnozis    TEXT,
  torolve      CHAR(1) NOT NULL DEFAULT 'N',
  PRIMARY KEY (vizsgalat),
  KEY ix_vizsgalat_ugyfel (ugyfel),
  KEY ix_vizsgalat_datum (datum),
  CONSTRAINT fk_vizsgalat_ugyfel FOREIGN KEY (ugyfel) REFERENCES ugyfel (ugyfel)
    ON DELETE RESTRICT ON UPDATE CASCADE
) ENGINE=InnoDB DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci;

-- ---------------------------------------------------------------------------
-- Work orders
-- ---------------------------------------------------------------------------

CREATE TABLE munkalap (
  munkalap           INT NOT NULL AUTO_INCREMENT,
  mlaptipus          INT,
  ugyfel             INT,
  datum              DATE,
  dat_hatid          DATE,
  dat_kesz           DATE,
  statusz            INT DEFAULT 1,
  keretmarka         INT,
  kerettipus         VARCHAR(30),
  lencsemarka        INT,
  tipus              VARCHAR(50),
  jobbsph            VARCHAR(10),
  jobbcyl            VARCHAR(10),
  jobbax             VARCHAR(10),
  jobbpd             VARCHAR(10),
  jobbprism          VARCHAR(10),
  jobbegyeb          VARCHAR(10),
  balsph             VARCHAR(10),
  balcyl             VARCHAR(10),
  balax              VARCHAR(10),
  balpd              VARCHAR(10),
  balprism           VARCHAR(10),
  balegyeb           VARCHAR(10),
  ar_keret           DOUBLE DEFAULT 0,
  ar_jobb            DOUBLE DEFAULT 0,
  ar_bal             DOUBLE DEFAULT 0,
  ar_adaptalas       DOUBLE DEFAULT 0,
  szoveg_adaptalas   VARCHAR(50),
  ar_szinezes        DOUBLE DEFAULT 0,
  szoveg_szinezes    VARCHAR(50),
  ar_egyeb1          DOUBLE DEFAULT 0,
  szoveg_egyeb1      VARCHAR(50),
  ar_egyeb2          DOUBLE DEFAULT 0,
  szoveg_egyeb2      VARCHAR(50),
  ar_kedvezmeny      DOUBLE DEFAULT 0,
  szoveg_kedvezmeny  VARCHAR(50),
  keretszazalek      DOUBLE DEFAULT 0,
  lencseszazalek     DOUBLE DEFAULT 0,
  eloleg             DOUBLE DEFAULT 0,
  osszar             DOUBLE DEFAULT 0,
  fizetendo          DOUBLE DEFAULT 0,
  megj               VARCHAR(255),
  storno             CHAR(1) NOT NULL DEFAULT 'N',
  PRIMARY KEY (munkalap),
  -- the status tabs list one status newest first
  KEY ix_munkalap_statusz (statusz, munkalap),
  KEY ix_munkalap_ugyfel (ugyfel),
  KEY ix_munkalap_ugyfel_storno_datum (ugyfel, storno, datum),
  KEY ix_munkalap_datum (datum),
  KEY ix_munkalap_dat_kesz (dat_kesz),
  KEY ix_munkalap_mlaptipus (mlaptipus),
  KEY ix_munkalap_lencsemarka (lencsemarka),
  KEY ix_munkalap_keretmarka (keretmarka),
  CONSTRAINT fk_munkalap_ugyfel FOREIGN KEY (ugyfel) REFERENCES ugyfel (ugyfel)
    ON DELETE RESTRICT ON UPDATE CASCADE,
  CONSTRAINT fk_munkalap_mlaptipus FOREIGN KEY (mlaptipus) REFERENCES mlaptipus (mlaptipus)
    ON DELETE RESTRICT ON UPDATE CASCADE,
  CONSTRAINT fk_munkalap_statusz FOREIGN KEY (statusz) REFERENCES statusz (statusz)
    ON DELETE RESTRICT ON UPDATE CASCADE,
  CONSTRAINT fk_munkalap_keretmarka FOREIGN KEY (keretmarka) REFERENCES keretmarka (keretmarka)
    ON DELETE RESTRICT ON UPDATE CASCADE,
  CONSTRAINT fk_munkalap_lencsemarka FOREIGN KEY (lencsemarka) REFERENCES lencsemarka (lencsemarka)
    ON DELETE RESTRICT ON UPDATE CASCADE
) ENGINE=InnoDB DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci;

-- Who stepped an order's status and when (written by sp_setstatusz only).
CREATE TABLE statusz_naplo (
  statusz_naplo    INT NOT NULL AUTO_INCREMENT,
  munkalap         INT NOT NULL,
  statusz          INT,
  felhasznalo_nev  VARCHAR(20),
  idopont          DATETIME,
  PRIMARY KEY (statusz_naplo),
  KEY ix_statusz_naplo_munkalap (munkalap, idopont),
  CONSTRAINT fk_statusz_naplo_munkalap FOREIGN KEY (munkalap) REFERENCES munkalap (munkalap)
    ON DELETE CASCADE ON UPDATE CASCADE
) ENGINE=InnoDB DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci;

-- ---------------------------------------------------------------------------
-- Administration
-- ---------------------------------------------------------------------------

CREATE TABLE felhasznalo (
  felhasznalo      VARCHAR(20) NOT NULL,
  felhasznalo_nev  VARCHAR(20),
  jelszo           VARCHAR(255),
  rendszergazda    CHAR(1) DEFAULT 'N',
  torzsszerkeszt   CHAR(1) DEFAULT 'N',
  canins           CHAR(1) DEFAULT 'N',
  canedit          CHAR(1) DEFAULT 'N',
  candel           CHAR(1) DEFAULT 'N',
  PRIMARY KEY (felhasznalo)
) ENGINE=InnoDB DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci;

-- Shop settings: one row.
CREATE TABLE beallit (
  beallit          INT NOT NULL AUTO_INCREMENT,
  vanbelep         CHAR(1) DEFAULT 'N',
  mlaphatid        INT DEFAULT 7,
  mlapmegj         TEXT,
  figynap          INT DEFAULT 30,
  a5munkalap       CHAR(1) DEFAULT 'N',
  verzioelfogadva  VARCHAR(20),
  hirelfogadva     INT DEFAULT 0,
  megorzes_ev      INT NOT NULL DEFAULT 0,
  emlek_honap      INT NOT NULL DEFAULT 24,
  nemvitt_nap      INT NOT NULL DEFAULT 14,
  emlek_level      TEXT,
  PRIMARY KEY (beallit)
) ENGINE=InnoDB DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci;

-- The shop's own data: one row, read by the printouts. Its key tulajdonos_sor
-- is INVISIBLE: SELECT * and INSERT ... VALUES without a column list see the
-- fifteen data columns only, so any administration tool may rewrite the row
-- as it likes (a cluster needs the key to replicate the row).
CREATE TABLE tulajdonos (
  tulajdonos      VARCHAR(50),
  telefon         VARCHAR(25),
  mobil           VARCHAR(25),
  fax             VARCHAR(25),
  irsz            VARCHAR(5),
  varos           VARCHAR(25),
  cim             VARCHAR(50),
  adoszam         VARCHAR(11),
  bankszamlaszam  VARCHAR(24),
  vallig          VARCHAR(30),
  ugyvez          VARCHAR(30),
  kozadoszam      VARCHAR(30),
  tirsz           VARCHAR(5),
  tvaros          VARCHAR(25),
  tcim            VARCHAR(50),
  tulajdonos_sor  INT NOT NULL AUTO_INCREMENT INVISIBLE,
  PRIMARY KEY (tulajdonos_sor)
) ENGINE=InnoDB DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci;

-- Database version marks; the program compares MAX(verzio) with its own.
CREATE TABLE verzio (
  verzio  VARCHAR(20) NOT NULL,
  PRIMARY KEY (verzio)
) ENGINE=InnoDB DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci;

-- Messages to the users, placed here from outside the program.
CREATE TABLE uzenet (
  uzenet       INT NOT NULL AUTO_INCREMENT,
  szoveg       TEXT,
  link         VARCHAR(255),
  csakegyszer  CHAR(1) DEFAULT 'N',
  olvasva      CHAR(1) DEFAULT 'N',
  dat_olvasva  DATETIME,
  PRIMARY KEY (uzenet)
) ENGINE=InnoDB DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci;

-- ---------------------------------------------------------------------------
-- Views. Address lines are joined without leftover separators when a part
-- is empty: "1011 Budapest, Fő utca 1.", "Budapest, Fő utca 1.", "1011 Budapest".
-- ---------------------------------------------------------------------------

-- Clients not marked deleted.
CREATE VIEW vw_ugyfel AS
SELECT u.ugyfel, u.ugyfel_nev, u.vnev, u.knev, u.kapcsolat, u.telefon, u.emil,
       u.honlap, u.cim_irsz, u.cim_varos, u.cim_cim, u.torolve, u.dat_utolso,
       u.dat_figyelmeztet, u.csoport, u.megjegyzes, u.keret, u.keretszam,
       u.szuldatum,
       cs.csoport_nev,
       CONCAT_WS(', ',
         NULLIF(CONCAT_WS(' ', NULLIF(TRIM(u.cim_irsz), ''), NULLIF(TRIM(u.cim_varos), '')), ''),
         NULLIF(TRIM(u.cim_cim), '')) AS irszvaroscim
FROM ugyfel u
LEFT JOIN csoport cs ON cs.csoport = u.csoport
WHERE u.torolve <> 'I';

-- Every work order, cancelled ones too, with its client's data even when the
-- client has been marked deleted since. szoveg is the kind's printed text,
-- then the shop's note from the settings on a new line.
CREATE VIEW vw_munkalap AS
SELECT m.*,
       t.mlaptipus_nev,
       u.ugyfel_nev,
       u.telefon,
       CONCAT_WS(', ',
         NULLIF(CONCAT_WS(' ', NULLIF(TRIM(u.cim_irsz), ''), NULLIF(TRIM(u.cim_varos), '')), ''),
         NULLIF(TRIM(u.cim_cim), '')) AS irszvaroscim,
       s.statusz_nev,
       k.keretmarka_nev,
       l.lencsemarka_nev,
       CONCAT_WS(CHAR(10 USING latin2),
         NULLIF(t.szoveg, ''),
         NULLIF((SELECT b.mlapmegj FROM beallit b ORDER BY b.beallit LIMIT 1), '')) AS szoveg
FROM munkalap m
LEFT JOIN mlaptipus t ON t.mlaptipus = m.mlaptipus
LEFT JOIN ugyfel u ON u.ugyfel = m.ugyfel
LEFT JOIN statusz s ON s.statusz = m.statusz
LEFT JOIN keretmarka k ON k.keretmarka = m.keretmarka
LEFT JOIN lencsemarka l ON l.lencsemarka = m.lencsemarka;

-- Examinations not marked deleted, with their client's data (also of a
-- client marked deleted since); anamnezisstr / diagnozisstr are the first
-- line of the long texts, at most 50 characters.
CREATE VIEW vw_vizsgalat AS
SELECT v.*,
       u.ugyfel_nev,
       CONCAT_WS(', ',
         NULLIF(CONCAT_WS(' ', NULLIF(TRIM(u.cim_irsz), ''), NULLIF(TRIM(u.cim_varos), '')), ''),
         NULLIF(TRIM(u.cim_cim), '')) AS irszvaroscim,
       u.telefon,
       u.szuldatum,
       LEFT(SUBSTRING_INDEX(SUBSTRING_INDEX(v.anamnezis, CHAR(13 USING latin2), 1),
                            CHAR(10 USING latin2), 1), 50) AS anamnezisstr,
       LEFT(SUBSTRING_INDEX(SUBSTRING_INDEX(v.diagnozis, CHAR(13 USING latin2), 1),
                            CHAR(10 USING latin2), 1), 50) AS diagnozisstr
FROM vizsgalat v
LEFT JOIN ugyfel u ON u.ugyfel = v.ugyfel
WHERE v.torolve <> 'I';

-- The shop's heading block for printouts.
CREATE VIEW vw_tulajdonos AS
SELECT t.tulajdonos,
       CONCAT_WS(', ',
         NULLIF(CONCAT_WS(' ', NULLIF(TRIM(t.irsz), ''), NULLIF(TRIM(t.varos), '')), ''),
         NULLIF(TRIM(t.cim), '')) AS irszvaroscim,
       t.telefon,
       t.irsz,
       t.varos
FROM tulajdonos t;

-- Envelope: the shop as sender (town and street in one line, postal code
-- apart) and the client as addressee; one row per client.
CREATE VIEW vw_boritek AS
SELECT u.ugyfel,
       t.tulajdonos,
       CONCAT_WS(', ', NULLIF(TRIM(t.varos), ''), NULLIF(TRIM(t.cim), '')) AS tulvaroscim,
       t.irsz AS tulirsz,
       t.telefon AS tultelefon,
       u.ugyfel_nev,
       u.kapcsolat AS kapcsolat2,
       u.cim_irsz,
       u.cim_varos,
       u.cim_cim
FROM ugyfel u
LEFT JOIN (SELECT tulajdonos, varos, cim, irsz, telefon FROM tulajdonos LIMIT 1) t ON 1 = 1;

-- One row per client: the kulcs 1 row as right eye (jobb...), kulcs 2 as left (bal...).
CREATE VIEW vw_ugyfel_sz_tavol AS
SELECT u.ugyfel,
       j.sph AS jobbsph, j.cyl AS jobbcyl, j.ax AS jobbax, j.prism AS jobbprism, j.pd AS jobbpd,
       b.sph AS balsph, b.cyl AS balcyl, b.ax AS balax, b.prism AS balprism, b.pd AS balpd
FROM ugyfel u
LEFT JOIN ugyfel_sz_tavol j ON j.ugyfel = u.ugyfel AND j.kulcs = 1
LEFT JOIN ugyfel_sz_tavol b ON b.ugyfel = u.ugyfel AND b.kulcs = 2;

CREATE VIEW vw_ugyfel_sz_kozel AS
SELECT u.ugyfel,
       j.sph AS jobbsph, j.cyl AS jobbcyl, j.ax AS jobbax, j.prism AS jobbprism, j.pd AS jobbpd,
       b.sph AS balsph, b.cyl AS balcyl, b.ax AS balax, b.prism AS balprism, b.pd AS balpd
FROM ugyfel u
LEFT JOIN ugyfel_sz_kozel j ON j.ugyfel = u.ugyfel AND j.kulcs = 1
LEFT JOIN ugyfel_sz_kozel b ON b.ugyfel = u.ugyfel AND b.kulcs = 2;

CREATE VIEW vw_ugyfel_sz_egyeb AS
SELECT u.ugyfel,
       j.sph AS jobbsph, j.cyl AS jobbcyl, j.ax AS jobbax, j.prism AS jobbprism, j.pd AS jobbpd,
       b.sph AS balsph, b.cyl AS balcyl, b.ax AS balax, b.prism AS balprism, b.pd AS balpd
FROM ugyfel u
LEFT JOIN ugyfel_sz_egyeb j ON j.ugyfel = u.ugyfel AND j.kulcs = 1
LEFT JOIN ugyfel_sz_egyeb b ON b.ugyfel = u.ugyfel AND b.kulcs = 2;

CREATE VIEW vw_ugyfel_k AS
SELECT u.ugyfel,
       j.sph AS jobbsph, j.cyl AS jobbcyl, j.gorb AS jobbgorb, j.ax AS jobbax,
       j.bc AS jobbbc, j.dia AS jobbdia,
       b.sph AS balsph, b.cyl AS balcyl, b.gorb AS balgorb, b.ax AS balax,
       b.bc AS balbc, b.dia AS baldia
FROM ugyfel u
LEFT JOIN ugyfel_k j ON j.ugyfel = u.ugyfel AND j.kulcs = 1
LEFT JOIN ugyfel_k b ON b.ugyfel = u.ugyfel AND b.kulcs = 2;

-- ---------------------------------------------------------------------------
-- Procedures
-- ---------------------------------------------------------------------------

DELIMITER $$

-- Creates the two side rows (kulcs 1 "Jobb", kulcs 2 "Bal") of the client in
-- each of the four prescription tables. Rows already there are kept as they
-- are, so calling it again changes nothing. An unknown client is an error.
CREATE PROCEDURE sp_oldal(IN p_ugyfel INT)
BEGIN
  IF NOT EXISTS (SELECT 1 FROM ugyfel WHERE ugyfel = p_ugyfel) THEN
    SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'Nincs ilyen ügyfél.';
  END IF;
  INSERT IGNORE INTO ugyfel_sz_tavol (ugyfel, kulcs, oldal) VALUES (p_ugyfel, 1, 'Jobb'), (p_ugyfel, 2, 'Bal');
  INSERT IGNORE INTO ugyfel_sz_kozel (ugyfel, kulcs, oldal) VALUES (p_ugyfel, 1, 'Jobb'), (p_ugyfel, 2, 'Bal');
  INSERT IGNORE INTO ugyfel_sz_egyeb (ugyfel, kulcs, oldal) VALUES (p_ugyfel, 1, 'Jobb'), (p_ugyfel, 2, 'Bal');
  INSERT IGNORE INTO ugyfel_k        (ugyfel, kulcs, oldal) VALUES (p_ugyfel, 1, 'Jobb'), (p_ugyfel, 2, 'Bal');
END$$

-- Creates a received work order (status 1, not cancelled, dated today, due
-- after the shop's due period, every amount 0, no brands) and copies the
-- client's current prescription of the kind into it: 1 distance, 2 near,
-- 3 special spectacles, 4 contact lenses (base curve into prism, diameter
-- into pd). Another kind gets no prescription. The new key is left in the
-- session variable @uj_munkalap, which is private to the connection, so two
-- workstations creating orders at the same moment each get their own.
CREATE PROCEDURE sp_ujmunkalap(IN p_ugyfel INT, IN p_tipus INT)
BEGIN
  DECLARE v_hatid INT;
  DECLARE v_jsph, v_jcyl, v_jax, v_jprism, v_jpd,
          v_bsph, v_bcyl, v_bax, v_bprism, v_bpd VARCHAR(10) DEFAULT NULL;

  IF NOT EXISTS (SELECT 1 FROM ugyfel WHERE ugyfel = p_ugyfel) THEN
    SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'Nincs ilyen ügyfél.';
  END IF;
  IF NOT EXISTS (SELECT 1 FROM mlaptipus WHERE mlaptipus = p_tipus) THEN
    SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'Nincs ilyen munkalap típus.';
  END IF;

  SET v_hatid = COALESCE((SELECT mlaphatid FROM beallit ORDER BY beallit LIMIT 1), 0);

  CASE p_tipus
    WHEN 1 THEN
      SELECT j.sph, j.cyl, j.ax, j.prism, j.pd, b.sph, b.cyl, b.ax, b.prism, b.pd
        INTO v_jsph, v_jcyl, v_jax, v_jprism, v_jpd, v_bsph, v_bcyl, v_bax, v_bprism, v_bpd
        FROM ugyfel u
        LEFT JOIN ugyfel_sz_tavol j ON j.ugyfel = u.ugyfel AND j.kulcs = 1
        LEFT JOIN ugyfel_sz_tavol b ON b.ugyfel = u.ugyfel AND b.kulcs = 2
       WHERE u.ugyfel = p_ugyfel;
    WHEN 2 THEN
      SELECT j.sph, j.cyl, j.ax, j.prism, j.pd, b.sph, b.cyl, b.ax, b.prism, b.pd
        INTO v_jsph, v_jcyl, v_jax, v_jprism, v_jpd, v_bsph, v_bcyl, v_bax, v_bprism, v_bpd
        FROM ugyfel u
        LEFT JOIN ugyfel_sz_kozel j ON j.ugyfel = u.ugyfel AND j.kulcs = 1
        LEFT JOIN ugyfel_sz_kozel b ON b.ugyfel = u.ugyfel AND b.kulcs = 2
       WHERE u.ugyfel = p_ugyfel;
    WHEN 3 THEN
      SELECT j.sph, j.cyl, j.ax, j.prism, j.pd, b.sph, b.cyl, b.ax, b.prism, b.pd
        INTO v_jsph, v_jcyl, v_jax, v_jprism, v_jpd, v_bsph, v_bcyl, v_bax, v_bprism, v_bpd
        FROM ugyfel u
        LEFT JOIN ugyfel_sz_egyeb j ON j.ugyfel = u.ugyfel AND j.kulcs = 1
        LEFT JOIN ugyfel_sz_egyeb b ON b.ugyfel = u.ugyfel AND b.kulcs = 2
       WHERE u.ugyfel = p_ugyfel;
    WHEN 4 THEN
      SELECT j.sph, j.cyl, j.ax, j.bc, j.dia, b.sph, b.cyl, b.ax, b.bc, b.dia
        INTO v_jsph, v_jcyl, v_jax, v_jprism, v_jpd, v_bsph, v_bcyl, v_bax, v_bprism, v_bpd
        FROM ugyfel u
        LEFT JOIN ugyfel_k j ON j.ugyfel = u.ugyfel AND j.kulcs = 1
        LEFT JOIN ugyfel_k b ON b.ugyfel = u.ugyfel AND b.kulcs = 2
       WHERE u.ugyfel = p_ugyfel;
    ELSE
      BEGIN END;
  END CASE;

  INSERT INTO munkalap
    (mlaptipus, ugyfel, datum, dat_hatid, dat_kesz, statusz, keretmarka, lencsemarka,
     jobbsph, jobbcyl, jobbax, jobbprism, jobbpd,
     balsph, balcyl, balax, balprism, balpd,
     ar_keret, ar_jobb, ar_bal, ar_adaptalas, ar_szinezes, ar_egyeb1, ar_egyeb2,
     ar_kedvezmeny, keretszazalek, lencseszazalek, eloleg, osszar, fizetendo, storno)
  VALUES
    (p_tipus, p_ugyfel, CURDATE(), CURDATE() + INTERVAL v_hatid DAY, NULL, 1, NULL, NULL,
     v_jsph, v_jcyl, v_jax, v_jprism, v_jpd,
     v_bsph, v_bcyl, v_bax, v_bprism, v_bpd,
     0, 0, 0, 0, 0, 0, 0,
     0, 0, 0, 0, 0, 0, 'N');

  SET @uj_munkalap = LAST_INSERT_ID();
END$$

-- Steps an order's status and logs who did it and when. dat_kesz is the day
-- the order became ready (2; kept if already set) and is set again to the
-- hand-over day on 3, because the revenue report dates the final payment by
-- it. The update is one conditional statement, so two workstations stepping
-- the same order at once cannot both step it. Asking for the status the
-- order already has changes nothing; a cancelled order, an unknown order or
-- a step backwards is refused with an error.
CREATE PROCEDURE sp_setstatusz(IN p_munkalap INT, IN p_felhasznalo VARCHAR(255), IN p_statusz INT)
BEGIN
  DECLARE v_statusz INT;
  DECLARE v_storno CHAR(1);
  DECLARE v_msg VARCHAR(200);

  IF NOT EXISTS (SELECT 1 FROM statusz WHERE statusz = p_statusz) THEN
    SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'Nincs ilyen státusz.';
  END IF;

  UPDATE munkalap
     SET dat_kesz = CASE WHEN p_statusz >= 3 THEN CURDATE()
                         WHEN p_statusz = 2 THEN COALESCE(dat_kesz, CURDATE())
                         ELSE dat_kesz END,
         statusz = p_statusz
   WHERE munkalap = p_munkalap
     AND storno <> 'I'
     AND COALESCE(statusz, 0) < p_statusz;

  IF ROW_COUNT() = 1 THEN
    INSERT INTO statusz_naplo (munkalap, statusz, felhasznalo_nev, idopont)
    VALUES (p_munkalap, p_statusz, LEFT(p_felhasznalo, 20), NOW());
  ELSE
    SELECT statusz, storno INTO v_statusz, v_storno FROM munkalap WHERE munkalap = p_munkalap;
    IF v_storno IS NULL THEN
      SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'Nincs ilyen munkalap.';
    ELSEIF v_storno = 'I' THEN
      SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'Sztornó munkalap';
    ELSEIF v_statusz = p_statusz THEN
      BEGIN END; -- already there (e.g. stepped from another workstation)
    ELSEIF v_statusz >= 3 THEN
      SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'Ez a munkalap már le lett zárva.';
    ELSEIF v_statusz > p_statusz THEN
      SET v_msg = CONCAT('A munkalap állapota már: ',
                         COALESCE((SELECT statusz_nev FROM statusz WHERE statusz = v_statusz), v_statusz));
      SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = v_msg;
    END IF;
  END IF;
END$$

-- Run after the work-order editor saved an order: NULL amounts and
-- percentages become 0 and a missing total / amount due is computed the way
-- the editor does it; a NULL status becomes 1 (received).
-- Values the editor stored are never changed.
CREATE PROCEDURE sp_munkalapkesz(IN p_munkalap INT)
BEGIN
  UPDATE munkalap
     -- the editor's steps in its order, so the result is the same double
     SET osszar = COALESCE(osszar,
                   (COALESCE(ar_keret, 0) - COALESCE(ar_keret, 0) * (COALESCE(keretszazalek, 0) / 100))
                   + ((COALESCE(ar_bal, 0) + COALESCE(ar_jobb, 0))
                      - (COALESCE(ar_bal, 0) + COALESCE(ar_jobb, 0)) * (COALESCE(lencseszazalek, 0) / 100))
                   + COALESCE(ar_adaptalas, 0) + COALESCE(ar_szinezes, 0)
                   + COALESCE(ar_egyeb1, 0) + COALESCE(ar_egyeb2, 0)
                   - ABS(COALESCE(ar_kedvezmeny, 0)))
   WHERE munkalap = p_munkalap;

  UPDATE munkalap
     SET fizetendo      = COALESCE(fizetendo, osszar - COALESCE(eloleg, 0)),
         ar_keret       = COALESCE(ar_keret, 0),
         ar_jobb        = COALESCE(ar_jobb, 0),
         ar_bal         = COALESCE(ar_bal, 0),
         ar_adaptalas   = COALESCE(ar_adaptalas, 0),
         ar_szinezes    = COALESCE(ar_szinezes, 0),
         ar_egyeb1      = COALESCE(ar_egyeb1, 0),
         ar_egyeb2      = COALESCE(ar_egyeb2, 0),
         ar_kedvezmeny  = COALESCE(ar_kedvezmeny, 0),
         keretszazalek  = COALESCE(keretszazalek, 0),
         lencseszazalek = COALESCE(lencseszazalek, 0),
         eloleg         = COALESCE(eloleg, 0),
         statusz        = COALESCE(statusz, 1)
   WHERE munkalap = p_munkalap;
END$$

DELIMITER ;

-- ---------------------------------------------------------------------------
-- Rows a new shop starts with
-- ---------------------------------------------------------------------------

INSERT INTO mlaptipus (mlaptipus, mlaptipus_nev, szoveg) VALUES
(1, 'Szemüveg - távol',
 'A szemüveg az elkészülés napjától 30 napon belül vehető át; ezután az el nem vitt szemüvegért felelősséget nem vállalunk.
Az új szemüveg megszokása 1-2 hetet is igénybe vehet. Panasz esetén kérjük, keressen fel minket!'),
(2, 'Szemüveg - közel',
 'Az olvasószemüveg csak közeli munkára (olvasás, kézimunka) való, vezetéshez ne viselje!
A szemüveg az elkészülés napjától 30 napon belül vehető át. Panasz esetén kérjük, keressen fel minket!'),
(3, 'Szemüveg - speciális',
 'A speciális (multifokális, számítógépes vagy munkavédelmi) szemüveg megszokása néhány hetet is igénybe vehet.
A szemüveg az elkészülés napjától 30 napon belül vehető át. Panasz esetén kérjük, keressen fel minket!'),
(4, 'Kontaktlencse',
 'A kontaktlencse viselési és ápolási útmutatóját átvettem. A lencsét csak az előírt ideig viselje, és csak az ajánlott ápolószerrel tisztítsa!
Szemvörösödés, fájdalom vagy látásromlás esetén vegye ki a lencsét, és forduljon szakemberhez.');

INSERT INTO statusz (statusz, statusz_nev) VALUES
(1, 'Beérkezett'),
(2, 'Kész'),
(3, 'Átadva');

INSERT INTO beallit (beallit, vanbelep, mlaphatid, mlapmegj, figynap, a5munkalap, verzioelfogadva, hirelfogadva)
VALUES (1, 'N', 7, NULL, 30, 'N', '23.0.0.44', 0);

INSERT INTO tulajdonos (tulajdonos, telefon, mobil, fax, irsz, varos, cim)
VALUES ('Optika', NULL, NULL, NULL, NULL, NULL, NULL);

INSERT INTO verzio (verzio) VALUES ('23.0.0.44');

INSERT INTO felhasznalo (felhasznalo, felhasznalo_nev, jelszo, rendszergazda, torzsszerkeszt, canins, canedit, candel)
VALUES ('admin', 'Rendszergazda', 'admin', 'I', 'I', 'I', 'I', 'I');

-- Postal codes: the Budapest districts and the larger towns.
INSERT INTO irsz (irsz, varos) VALUES
('1011','Budapest'),('1012','Budapest'),('1013','Budapest'),('1014','Budapest'),('1015','Budapest'),('1016','Budapest'),
('1021','Budapest'),('1022','Budapest'),('1023','Budapest'),('1024','Budapest'),('1025','Budapest'),('1026','Budapest'),('1027','Budapest'),('1028','Budapest'),('1029','Budapest'),
('1031','Budapest'),('1032','Budapest'),('1033','Budapest'),('1034','Budapest'),('1035','Budapest'),('1036','Budapest'),('1037','Budapest'),('1038','Budapest'),('1039','Budapest'),
('1041','Budapest'),('1042','Budapest'),('1043','Budapest'),('1044','Budapest'),('1045','Budapest'),('1046','Budapest'),('1047','Budapest'),('1048','Budapest'),
('1051','Budapest'),('1052','Budapest'),('1053','Budapest'),('1054','Budapest'),('1055','Budapest'),('1056','Budapest'),
('1061','Budapest'),('1062','Budapest'),('1063','Budapest'),('1064','Budapest'),('1065','Budapest'),('1066','Budapest'),('1067','Budapest'),('1068','Budapest'),
('1071','Budapest'),('1072','Budapest'),('1073','Budapest'),('1074','Budapest'),('1075','Budapest'),('1076','Budapest'),('1077','Budapest'),('1078','Budapest'),
('1081','Budapest'),('1082','Budapest'),('1083','Budapest'),('1084','Budapest'),('1085','Budapest'),('1086','Budapest'),('1087','Budapest'),('1088','Budapest'),('1089','Budapest'),
('1091','Budapest'),('1092','Budapest'),('1093','Budapest'),('1094','Budapest'),('1095','Budapest'),('1096','Budapest'),('1097','Budapest'),('1098','Budapest'),
('1101','Budapest'),('1102','Budapest'),('1103','Budapest'),('1104','Budapest'),('1105','Budapest'),('1106','Budapest'),('1107','Budapest'),('1108','Budapest'),
('1111','Budapest'),('1112','Budapest'),('1113','Budapest'),('1114','Budapest'),('1115','Budapest'),('1116','Budapest'),('1117','Budapest'),('1118','Budapest'),('1119','Budapest'),
('1121','Budapest'),('1122','Budapest'),('1123','Budapest'),('1124','Budapest'),('1125','Budapest'),('1126','Budapest'),
('1131','Budapest'),('1132','Budapest'),('1133','Budapest'),('1134','Budapest'),('1135','Budapest'),('1136','Budapest'),('1137','Budapest'),('1138','Budapest'),('1139','Budapest'),
('1141','Budapest'),('1142','Budapest'),('1143','Budapest'),('1144','Budapest'),('1145','Budapest'),('1146','Budapest'),('1147','Budapest'),('1148','Budapest'),('1149','Budapest'),
('1151','Budapest'),('1152','Budapest'),('1153','Budapest'),('1154','Budapest'),('1155','Budapest'),('1156','Budapest'),('1157','Budapest'),('1158','Budapest'),
('1161','Budapest'),('1162','Budapest'),('1163','Budapest'),('1164','Budapest'),('1165','Budapest'),
('1171','Budapest'),('1172','Budapest'),('1173','Budapest'),('1174','Budapest'),
('1181','Budapest'),('1182','Budapest'),('1183','Budapest'),('1184','Budapest'),('1185','Budapest'),('1186','Budapest'),('1188','Budapest'),
('1191','Budapest'),('1192','Budapest'),('1193','Budapest'),('1194','Budapest'),('1195','Budapest'),('1196','Budapest'),
('1201','Budapest'),('1202','Budapest'),('1203','Budapest'),('1204','Budapest'),('1205','Budapest'),
('1211','Budapest'),('1212','Budapest'),('1213','Budapest'),('1214','Budapest'),('1215','Budapest'),
('1221','Budapest'),('1222','Budapest'),('1223','Budapest'),('1224','Budapest'),('1225','Budapest'),
('1237','Budapest'),('1238','Budapest'),('1239','Budapest'),
('4024','Debrecen'),('4025','Debrecen'),('4026','Debrecen'),('4027','Debrecen'),('4028','Debrecen'),('4029','Debrecen'),('4030','Debrecen'),('4031','Debrecen'),('4032','Debrecen'),
('6720','Szeged'),('6721','Szeged'),('6722','Szeged'),('6723','Szeged'),('6724','Szeged'),('6725','Szeged'),('6726','Szeged'),('6727','Szeged'),('6728','Szeged'),
('3525','Miskolc'),('3526','Miskolc'),('3527','Miskolc'),('3528','Miskolc'),('3529','Miskolc'),('3530','Miskolc'),('3531','Miskolc'),('3532','Miskolc'),('3533','Miskolc'),('3534','Miskolc'),('3535','Miskolc'),
('7621','Pécs'),('7622','Pécs'),('7623','Pécs'),('7624','Pécs'),('7625','Pécs'),('7626','Pécs'),('7627','Pécs'),('7628','Pécs'),('7629','Pécs'),('7630','Pécs'),('7631','Pécs'),('7632','Pécs'),('7633','Pécs'),
('9021','Győr'),('9022','Győr'),('9023','Győr'),('9024','Győr'),('9025','Győr'),('9026','Győr'),('9027','Győr'),('9028','Győr'),('9029','Győr'),('9030','Győr'),
('4400','Nyíregyháza'),('6000','Kecskemét'),('8000','Székesfehérvár'),('9700','Szombathely'),('5000','Szolnok'),
('2800','Tatabánya'),('7400','Kaposvár'),('2030','Érd'),('8200','Veszprém'),('5600','Békéscsaba'),
('8900','Zalaegerszeg'),('9400','Sopron'),('3300','Eger'),('8800','Nagykanizsa'),('2400','Dunaújváros'),
('6800','Hódmezővásárhely'),('3100','Salgótarján'),('2700','Cegléd'),('6500','Baja'),('2600','Vác'),
('2100','Gödöllő'),('7100','Szekszárd'),('2500','Esztergom'),('3600','Ózd'),('2310','Szigetszentmiklós'),
('9200','Mosonmagyaróvár'),('8500','Pápa'),('3200','Gyöngyös'),('3000','Hatvan'),('5100','Jászberény'),
('6100','Kiskunfélegyháza'),('5900','Orosháza'),('8400','Ajka'),('3700','Kazincbarcika'),('8600','Siófok'),
('8360','Keszthely'),('5700','Gyula'),('6900','Makó'),('4220','Hajdúböszörmény'),('4200','Hajdúszoboszló'),
('2660','Balassagyarmat'),('2040','Budaörs'),('2000','Szentendre'),('2120','Dunakeszi'),('6600','Szentes'),
('7030','Paks'),('6400','Kiskunhalas'),('8300','Tapolca'),('7700','Mohács'),('2900','Komárom'),
('2890','Tata'),('4600','Kisvárda'),('4700','Mátészalka'),('5300','Karcag'),('3580','Tiszaújváros'),
('3950','Sárospatak'),('3980','Sátoraljaújhely'),('8230','Balatonfüred'),('8100','Várpalota'),('9730','Kőszeg'),
('9600','Sárvár'),('9900','Körmend'),('7200','Dombóvár'),('7300','Komló'),('7800','Siklós'),
('6300','Kalocsa'),('6200','Kiskőrös'),('3400','Mezőkövesd'),('2200','Monor'),('2750','Nagykőrös'),
('2360','Gyál'),('2220','Vecsés'),('2151','Fót'),('2112','Veresegyház'),('2440','Százhalombatta'),
('2092','Budakeszi'),('2370','Dabas'),('2300','Ráckeve'),('5540','Szarvas'),('5630','Békés'),
('4080','Hajdúnánás'),('4300','Nyírbátor'),('9300','Csorna'),('8060','Mór'),('2840','Oroszlány'),
('2510','Dorog'),('2060','Bicske'),('8380','Hévíz'),('2131','Göd'),('2045','Törökbálint'),
('2483','Gárdony'),('7000','Sárbogárd'),('8700','Marcali'),('7900','Szigetvár'),('4150','Püspökladány'),
('4100','Berettyóújfalu'),('5200','Törökszentmiklós'),('5400','Mezőtúr'),('9970','Szentgotthárd'),('7150','Bonyhád');

-- ---------------------------------------------------------------------------
-- Upgrade steps. A shop made by this script is at the newest step; an older
-- shop is brought here by the program's steps (src/db/steps), which are
-- recorded in sema_frissites. The table definitions above already hold the
-- column changes of the steps (002: felhasznalo.jelszo is 255 characters;
-- 003: beallit.megorzes_ev; 004: beallit.emlek_honap, nemvitt_nap, emlek_level);
-- the audit log of step 001 comes after the seed rows, so a new shop starts
-- with an empty log.
-- ---------------------------------------------------------------------------

CREATE TABLE sema_frissites (
  lepes    INT NOT NULL,
  nev      VARCHAR(100),
  idopont  DATETIME,
  PRIMARY KEY (lepes)
) ENGINE=InnoDB DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci;

-- Step 001 (naplo), as in src/db/steps/001-naplo.sql:

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

-- Step 003 (hozzajarulas), as in src/db/steps/003-hozzajarulas.sql:

-- Consents of the clients, one purpose each: reminders by letter (LEVEL), by
-- SMS, by e-mail, and marketing. Every change is a new row, so the history
-- stays; the current state of a purpose is the client's newest row of it (the
-- highest key). megadva 'I' is given, 'N' withdrawn; a purpose without a row
-- was never given. felhasznalo is who recorded it: the program's session
-- variable @qo_felhasznalo, else the database account.
--
-- beallit.megorzes_ev: how many years an erased client's prescriptions and
-- examinations are still kept (0: none).

CREATE TABLE IF NOT EXISTS hozzajarulas (
  hozzajarulas  INT NOT NULL AUTO_INCREMENT,
  ugyfel        INT NOT NULL,
  cel           VARCHAR(10) NOT NULL,
  megadva       CHAR(1) NOT NULL DEFAULT 'N',
  datum         DATETIME NOT NULL,
  felhasznalo   VARCHAR(150),
  PRIMARY KEY (hozzajarulas),
  KEY ix_hozzajarulas_ugyfel_cel (ugyfel, cel, hozzajarulas),
  CONSTRAINT fk_hozzajarulas_ugyfel FOREIGN KEY (ugyfel) REFERENCES ugyfel (ugyfel)
    ON DELETE CASCADE ON UPDATE CASCADE
) ENGINE=InnoDB DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci;

-- Step 004 (ugyfelgondozas), as in src/db/steps/004-ugyfelgondozas.sql (its
-- beallit columns are in the table above):

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

INSERT INTO sema_frissites (lepes, nev, idopont) VALUES
(1, 'naplo', NOW()),
(2, 'jelszo-hash', NOW()),
(3, 'hozzajarulas', NOW()),
(4, 'ugyfelgondozas', NOW()),
(5, 'elsodleges-kulcs', NOW()),
(6, 'emlekezteto-index', NOW());
