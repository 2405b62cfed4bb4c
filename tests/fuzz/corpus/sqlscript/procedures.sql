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
