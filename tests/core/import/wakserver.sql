-- The part of a WAK INTRA database the import relies on, in PostgreSQL:
-- the product table and the procedure that returns the sales document lines
-- of a date range ('yyyymmdd' texts), ordered by document.
CREATE TABLE pol_mj (
    "nPol" integer PRIMARY KEY,
    "NazPol" varchar(100),
    "IdePol" varchar(30),
    "IdeMJ" varchar(10),
    "Cena" numeric(12, 2)
);

CREATE TABLE dokl_pol (
    "nRadek" serial PRIMARY KEY,
    "nDoklSkl" integer NOT NULL,
    "IdeTypuDoklSkl" varchar(3),
    "IdeDoklSkl" varchar(20),
    "DatDoklSkl" timestamp,
    "TypStatu" smallint,
    "nPol" integer,
    "MnoPol" numeric(15, 4)
);

CREATE FUNCTION DoklSkl_Pre(p_od text, p_do text)
RETURNS TABLE ("nDoklSkl" integer, "IdeTypuDoklSkl" varchar, "IdeDoklSkl" varchar,
               "DatDoklSkl" timestamp, "TypStatu" smallint, "nPol" integer, "MnoPol" numeric)
LANGUAGE sql STABLE AS $$
    SELECT d."nDoklSkl", d."IdeTypuDoklSkl", d."IdeDoklSkl", d."DatDoklSkl", d."TypStatu",
           d."nPol", d."MnoPol"
    FROM dokl_pol d
    WHERE d."DatDoklSkl" >= to_date(p_od, 'YYYYMMDD')
      AND d."DatDoklSkl" < to_date(p_do, 'YYYYMMDD') + 1
    ORDER BY d."nDoklSkl", d."nRadek"
$$;
