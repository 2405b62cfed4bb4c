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

ALTER TABLE beallit ADD COLUMN IF NOT EXISTS megorzes_ev INT NOT NULL DEFAULT 0;
