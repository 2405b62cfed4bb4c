-- Keys for a database cluster.
--
-- A cluster of servers (one per branch) replicates a row by its primary key;
-- a table without one cannot be changed safely there. tulajdonos had none: it
-- gets tulajdonos_sor, an INVISIBLE auto-increment key, so that SELECT * and
-- INSERT ... VALUES without a column list (administration tools, backups
-- written before this step) see the fifteen columns they always saw, and the
-- row may still be rewritten as before. irsz already has its key (irsz, varos).
--
-- Every key the program makes is AUTO_INCREMENT (or LAST_INSERT_ID of one),
-- so the cluster's auto_increment_increment/offset keep the keys of orders
-- made on different servers apart; no key is taken as MAX() + 1.

ALTER TABLE tulajdonos
  ADD COLUMN IF NOT EXISTS tulajdonos_sor INT NOT NULL AUTO_INCREMENT INVISIBLE PRIMARY KEY;
