ALTER TABLE felhasznalo MODIFY jelszo VARCHAR(255) CHARACTER SET latin2 COLLATE latin2_hungarian_ci;
