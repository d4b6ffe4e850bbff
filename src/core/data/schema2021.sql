-- Tables added beside the twelve for the EKO-KOM statement in force since
-- 2021: how a cover is classified for it, the material composition of a
-- composite cover, and where a discarded reusable cover went. Every statement
-- may run again on a database that has them: an older database gets them
-- when it is opened. Codes are positions in their code lists (-1: not
-- chosen); shares are percentages held as quantities (value x 10 000).

CREATE TABLE IF NOT EXISTS Cover_Class (
    cover_id        INTEGER,
    cls_beverage    INTEGER,
    cls_mat         INTEGER,
    cls_shape       INTEGER,
    cls_recycled    INTEGER,
    cls_litter      INTEGER,
    cls_plastic     INTEGER
);
CREATE UNIQUE INDEX IF NOT EXISTS idx_cover_class_cover ON Cover_Class (cover_id);

CREATE TABLE IF NOT EXISTS Cover_Part (
    cover_id        INTEGER,
    part_comp       INTEGER,
    part_share      INTEGER
);
CREATE UNIQUE INDEX IF NOT EXISTS idx_cover_part_cover ON Cover_Part (cover_id, part_comp);

CREATE TABLE IF NOT EXISTS Discard_Dest (
    disc_id         INTEGER,
    dest_code       INTEGER
);
CREATE UNIQUE INDEX IF NOT EXISTS idx_discard_dest_disc ON Discard_Dest (disc_id);
