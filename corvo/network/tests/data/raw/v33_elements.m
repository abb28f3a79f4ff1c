function mpc = v33_elements
%V33_ELEMENTS  v33_elements.raw with v33_elements.costs.csv, as MATPOWER holds it
%   Loads are the in-service PL of each bus (bus 2: 40 + 25.5; bus 3: only
%   the 60 MW in service, without its IP and YP). Gs is the in-service GL of
%   the fixed shunts plus GI/GJ x 100 MVA of the branch 2-3 (bus 2: 0.5;
%   bus 3: 3 + 1.5 + 1.5). Generators without a row in the costs file (out
%   of service, or on the isolated bus 4) cost nothing.

%% MATPOWER Case Format : Version 2
mpc.version = '2';

mpc.baseMVA = 100;

%% bus data
%	bus_i	type	Pd	Qd	Gs	Bs	area	Vm	Va	baseKV	zone	Vmax	Vmin
mpc.bus = [
	1	3	0	0	0	0	1	1	10	138	1	1.1	0.9;
	2	2	65.5	0	0.5	0	1	1	-2	138	1	1.1	0.9;
	3	1	60	0	6	0	1	1	0	138	1	1.1	0.9;
	4	4	12	0	0	0	1	1	0	138	1	1.1	0.9;
	5	1	8	0	0	0	1	1	0	0	1	1.1	0.9;
];

%% generator data
%	bus	Pg	Qg	Qmax	Qmin	Vg	mBase	status	Pmax	Pmin	Pc1	Pc2	Qc1min	Qc1max	Qc2min	Qc2max	ramp_agc	ramp_10	ramp_30	ramp_q	apf
mpc.gen = [
	1	80	0	100	-100	1	100	1	200	0	0	0	0	0	0	0	0	0	0	0	0;
	1	0	0	100	-100	1	100	1	50	-30	0	0	0	0	0	0	0	0	0	0	0;
	2	0	0	100	-100	1	100	0	60	5	0	0	0	0	0	0	0	0	0	0	0;
	2	0	0	9999	-9999	1	100	1	9999	-9999	0	0	0	0	0	0	0	0	0	0	0;
	4	0	0	100	-100	1	100	1	70	0	0	0	0	0	0	0	0	0	0	0	0;
];

%% branch data
%	fbus	tbus	r	x	b	rateA	rateB	rateC	ratio	angle	status	angmin	angmax
mpc.branch = [
	1	2	0.01	0.1	0.02	100	110	120	0	0	1	-360	360;
	1	3	0.01	0.25	0.02	0	0	0	0	0	1	-360	360;
	2	3	0.02	0.2	0	80	0	0	0	0	1	-360	360;
	3	5	0	0.05	0	50	0	0	0	0	0	-360	360;
	3	4	0	0.05	0	50	0	0	0	0	1	-360	360;
	2	5	0	0.4	0	0	0	0	0	0	1	-360	360;
];

%% generator cost data
%	2	startup	shutdown	n	c(n-1)	...	c0
mpc.gencost = [
	2	0	0	3	0.01	20	100;
	2	0	0	3	0.02	25	0;
	2	0	0	3	0	0	0;
	2	0	0	3	0	30	5;
	2	0	0	3	0	0	0;
];
