function mpc = v33_three_winding
%V33_THREE_WINDING  v33_three_winding.raw as MATPOWER holds it
%   The largest bus number is 4, so the star buses are 10 + 1 .. 10 + 5.
%   Pair reactances on the system base, then the star reactances
%   x1 = (x12 + x31 - x23)/2, x2 = (x12 + x23 - x31)/2, x3 = (x31 + x23 - x12)/2:
%   'A' CZ2: x12 = 0.1 * (345^2/200)/(345^2/100) = 0.05, x23 = 0.05 * 100/50 = 0.1,
%            x31 = 0.08 -> 0.015, 0.035, 0.065; CW2 ratios 355.35/345 = 1.03, 1, 13.455/13.8 = 0.975
%   'B' CZ3: R12 = 2e5/1e6/100 = 0.002, x12 = sqrt(0.0025^2 - 0.002^2) = 0.0015;
%            R23 = 0.0006, X23 = 0.0008 on NOMV2 = 132 kV: x23 = 0.0008 * 132^2/138^2;
%            x31 = 0.003 -> 0.00188403, -0.00038403, 0.00111597. CW3 ratios 1.02, 132/138, 1; shift 15 on winding 1
%   'C' x12 = 0.2, x23 = 0.25, x31 = 0.5 -> 0.225, -0.025, 0.275
%   'D', 'E' all 0.1 -> 0.05 each

%% MATPOWER Case Format : Version 2
mpc.version = '2';

mpc.baseMVA = 100;

%% bus data
%	bus_i	type	Pd	Qd	Gs	Bs	area	Vm	Va	baseKV	zone	Vmax	Vmin
mpc.bus = [
	1	3	0	0	0	0	1	1	0	345	1	1.1	0.9;
	2	1	80	0	0	0	1	1	0	138	1	1.1	0.9;
	3	1	20	0	0	0	1	1	0	13.8	1	1.1	0.9;
	4	1	40	0	0	0	1	1	0	138	1	1.1	0.9;
	11	1	0	0	0	0	1	1	-2	1	1	1.1	0.9;
	12	1	0	0	0	0	1	1	0.5	1	1	1.1	0.9;
	13	1	0	0	0	0	1	1	0	1	1	1.1	0.9;
	14	1	0	0	0	0	1	1	0	1	1	1.1	0.9;
	15	4	0	0	0	0	1	1	0	1	1	1.1	0.9;
];

%% generator data
%	bus	Pg	Qg	Qmax	Qmin	Vg	mBase	status	Pmax	Pmin	Pc1	Pc2	Qc1min	Qc1max	Qc2min	Qc2max	ramp_agc	ramp_10	ramp_30	ramp_q	apf
mpc.gen = [
	1	140	0	100	-100	1	100	1	300	0	0	0	0	0	0	0	0	0	0	0	0;
];

%% branch data
%	fbus	tbus	r	x	b	rateA	rateB	rateC	ratio	angle	status	angmin	angmax
mpc.branch = [
	2	4	0	0.1	0	0	0	0	0	0	1	-360	360;
	1	11	0	0.015	0	300	300	300	1.03	0	1	-360	360;
	2	11	0	0.035	0	200	200	200	1	0	1	-360	360;
	3	11	0	0.065	0	50	50	50	0.975	0	1	-360	360;
	1	12	0	0.00188402646502836	0	0	0	0	1.02	15	1	-360	360;
	4	12	0	-0.000384026465028355	0	0	0	0	0.956521739130435	0	0	-360	360;
	3	12	0	0.00111597353497164	0	0	0	0	1	0	1	-360	360;
	2	13	0	0.225	0	0	0	0	1	0	1	-360	360;
	4	13	0	-0.025	0	0	0	0	1	0	1	-360	360;
	1	13	0	0.275	0	0	0	0	1	0	0	-360	360;
	3	14	0	0.05	0	0	0	0	1	0	0	-360	360;
	2	14	0	0.05	0	0	0	0	1	0	1	-360	360;
	4	14	0	0.05	0	0	0	0	1	0	1	-360	360;
	1	15	0	0.05	0	0	0	0	1	0	0	-360	360;
	2	15	0	0.05	0	0	0	0	1	0	0	-360	360;
	3	15	0	0.05	0	0	0	0	1	0	0	-360	360;
];

%% generator cost data
%	2	startup	shutdown	n	c(n-1)	...	c0
mpc.gencost = [
	2	0	0	3	0.02	12	0;
];
